#include "support/large_pages.h"

#include <cstddef>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tamsel {

namespace {

// What an allocator keeps in front of a block it maps on its own, and more.
constexpr std::size_t kBookkeeping = 64;

#if defined(__linux__)
// The smallest page any system uses: a buffer owns the whole small pages it touches.
constexpr std::uintptr_t kSmallPage = 4096;
// Linux 6.1 on; older C libraries do not name it, older kernels refuse it.
#if defined(MADV_COLLAPSE)
constexpr int kCollapse = MADV_COLLAPSE;
#else
constexpr int kCollapse = 25;
#endif
#endif

}  // namespace

std::size_t LargeRoom(std::size_t bytes) {
    if (bytes < kLargePage || bytes > SIZE_MAX - 2 * kLargePage) {
        return bytes;
    }
    return ((bytes + kBookkeeping + kLargePage - 1) & ~(kLargePage - 1)) - kBookkeeping;
}

void AdviseLargePages([[maybe_unused]] void* data, [[maybe_unused]] std::size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
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
#endif
}

void ReserveLarge(std::string& text, std::size_t capacity) {
    if (capacity <= text.capacity()) {
        return;
    }
    std::string larger;
    larger.reserve(LargeRoom(capacity + 1) - 1);  // and the terminating zero
    AdviseLargePages(larger.data(), larger.capacity());
    larger.append(text);
    text.swap(larger);
}

}  // namespace tamsel
