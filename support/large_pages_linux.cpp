#include "support/large_pages.h"

#include <sys/mman.h>

#include <cstdint>

namespace tamsel {

namespace {

// The smallest page any system uses: a buffer owns the whole small pages it touches.
constexpr std::uintptr_t kSmallPage = 4096;
// Linux 6.1 on; older C libraries do not name it, older kernels refuse it.
#if defined(MADV_COLLAPSE)
constexpr int kCollapse = MADV_COLLAPSE;
#else
constexpr int kCollapse = 25;
#endif

}  // namespace

void AdviseLargePages(void* data, std::size_t size) {
    const auto start = reinterpret_cast<std::uintptr_t>(data) & ~(kSmallPage - 1);
    const std::uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t stop =
        (reinterpret_cast<std::uintptr_t>(data) + size + kSmallPage - 1) & ~(kSmallPage - 1);
    const std::uintptr_t end = stop & ~(kLargePage - 1);
    if (first >= end) {
        return;
    }
    // Refused advice (a kernel without the feature) leaves small pages: nothing to report.
    madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
    // The allocator has written its bookkeeping in front of the buffer already, and a large
    // page that holds a touched small page is not made at the next touch: it is made now.
    if (start == first) {
        madvise(reinterpret_cast<void*>(first), kLargePage, kCollapse);
    }
}

}  // namespace tamsel
