#pragma once

// The entries a run has added so far, found again by their text without keeping a copy of
// it: each is known by where it stands in the texts that hold the run's output.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tamsel {

class AddedEntries {
  public:
    // Where an entry stands: the index of the text in the span given to Holds, and its place
    // in that text.
    struct Place {
        std::size_t text;
        std::size_t offset;
        std::size_t length;
    };

    // Whether an entry with exactly the bytes of `entry` was added, looking it up in `texts`,
    // which must hold every added entry at its place.
    bool Holds(std::string_view entry, std::span<const std::string> texts) const;

    // Adds the entry that stands at `place` and reads `entry`.
    void Add(std::string_view entry, Place place);

  private:
    std::unordered_multimap<std::size_t, Place> places_;  // by the hash of the entry
};

}  // namespace tamsel
