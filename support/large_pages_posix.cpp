#include "support/large_pages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "support/native_file.h"

namespace tamsel {

void AdviseLargePages(void* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
    // Whole pages, the first and last included: they hold the caller's bytes, so they are
    // mapped, and the advice never changes what any page holds.
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(data) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size + page - 1) / page * page;
    const native::SystemErrorKeeper keepError;  // a declined advice leaves no trace
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

}  // namespace tamsel
