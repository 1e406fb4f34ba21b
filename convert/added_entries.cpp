#include "convert/added_entries.h"

#include <cstdint>

namespace tamsel {

bool AddedEntries::Holds(std::string_view entry, std::size_t hash,
                         std::span<const std::string> texts) const {
    return byHash_.Find(hash, [&](std::uint32_t number) {
        const Place& place = places_[number];
        return std::string_view(texts[place.text]).substr(place.offset, place.length) == entry;
    });
}

void AddedEntries::Add(std::size_t hash, Place place) {
    byHash_.Insert(hash, static_cast<std::uint32_t>(places_.size()));
    places_.push_back(place);
}

}  // namespace tamsel
