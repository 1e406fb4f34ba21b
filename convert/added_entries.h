#pragma once

// The entries a run has added so far, found again by their text without keeping a copy of
// it: each is known by where it stands in the texts that hold the run's output.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "convert/hash_slots.h"

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
    // which must hold every added entry at its place. `hash` is HashOfText(entry)
    // (menu_index.h), which the caller keeps for Add.
    bool Holds(std::string_view entry, std::size_t hash, std::span<const std::string> texts) const;

    // Readies a lookup of `hash` (see HashSlots::Prefetch).
    void Prefetch(std::size_t hash) const { byHash_.Prefetch(hash); }

    // Adds the entry that stands at `place`, of hash `hash`.
    void Add(std::size_t hash, Place place);

  private:
    std::vector<Place> places_;
    HashSlots byHash_;  // indexes into places_
};

}  // namespace tamsel
