#pragma once

// A quick "surely not there" in front of a lookup table mostly asked for texts it lacks: one
// bit per text's std::hash, so that most such lookups touch one word of a small array
// instead of the table's scattered nodes.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace tamsel {

class HashFilter {
  public:
    // Room for about `count` texts at 16 bits each: about one missing text in twenty
    // passes the filter.
    explicit HashFilter(std::size_t count) : bits_(std::bit_ceil((count + 3) / 4), 0) {}

    void Add(std::string_view text) {
        const std::size_t bit = Bit(text);
        bits_[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }

    // False when `text` was surely never added.
    bool MayHold(std::string_view text) const {
        const std::size_t bit = Bit(text);
        return (bits_[bit / 64] >> (bit % 64) & 1) != 0;
    }

  private:
    std::size_t Bit(std::string_view text) const {
        return std::hash<std::string_view>{}(text) & (bits_.size() * 64 - 1);
    }

    std::vector<std::uint64_t> bits_;
};

}  // namespace tamsel
