#include "support/large_pages.h"

#include <cstddef>
#include <cstdint>

namespace tamsel {

namespace {

// What an allocator keeps in front of a block it maps on its own, and more.
constexpr std::size_t kBookkeeping = 64;

}  // namespace

std::size_t LargeRoom(std::size_t bytes) {
    if (bytes < kLargePage || bytes > SIZE_MAX - 2 * kLargePage) {
        return bytes;
    }
    return ((bytes + kBookkeeping + kLargePage - 1) & ~(kLargePage - 1)) - kBookkeeping;
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
