#include "support/large_pages.h"

namespace tamsel {

// Only Linux is advised: elsewhere buffers keep the system's own pages.
void AdviseLargePages(void*, std::size_t) {}

}  // namespace tamsel
