#include "support/large_pages.h"

namespace tamsel {

// Large pages on Windows need a privilege that a user's program does not hold.
void AdviseLargePages(void*, std::size_t) {}

}  // namespace tamsel
