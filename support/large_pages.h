#pragma once

// Asking the system to back a large buffer with large memory pages. On a virtual machine
// every first touch of a fresh small page can cost microseconds, and a run fills tens of
// megabytes of fresh memory with its output; one large page takes the place of 512 small
// ones. Only advice: the contents and every result stay the same wherever it is not taken.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace tamsel {

// The size of a large page where advice is taken: a buffer needs about twice this to hold
// one whole large page wherever it begins.
inline constexpr std::size_t kLargePage = std::size_t{2} << 20;

// Advises the whole large pages that lie inside the small pages that [data, data + size)
// touches, before they are touched. Does nothing where the system has no such advice.
void AdviseLargePages(void* data, std::size_t size);

// A size of at least `bytes` for a buffer that is to hold large pages: from one large page
// on, a whole number of them less a little room for the allocator's own bookkeeping, so that
// a buffer the system maps on its own (and aligns to large pages) is large pages throughout.
std::size_t LargeRoom(std::size_t bytes);

// Gives `text` room for at least `capacity` bytes, advised as above before anything is
// copied into it (a plain reserve copies first). The contents stay the same.
void ReserveLarge(std::string& text, std::size_t capacity);

// The same for a vector, whose elements are moved into the new room.
template <typename T>
void ReserveLarge(std::vector<T>& items, std::size_t capacity) {
    if (capacity <= items.capacity()) {
        return;
    }
    std::vector<T> larger;
    larger.reserve(LargeRoom(capacity * sizeof(T)) / sizeof(T));
    AdviseLargePages(larger.data(), larger.capacity() * sizeof(T));
    larger.insert(larger.end(), std::make_move_iterator(items.begin()),
                  std::make_move_iterator(items.end()));
    items.swap(larger);
}

}  // namespace tamsel
