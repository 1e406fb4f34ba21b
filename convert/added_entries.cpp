#include "convert/added_entries.h"

#include <functional>

namespace tamsel {

namespace {

std::size_t HashOf(std::string_view text) {
    return std::hash<std::string_view>{}(text);
}

}  // namespace

bool AddedEntries::Holds(std::string_view entry, std::span<const std::string> texts) const {
    const auto [first, last] = places_.equal_range(HashOf(entry));
    for (auto it = first; it != last; ++it) {
        const Place& place = it->second;
        if (std::string_view(texts[place.text]).substr(place.offset, place.length) == entry) {
            return true;
        }
    }
    return false;
}

void AddedEntries::Add(std::string_view entry, Place place) {
    places_.emplace(HashOf(entry), place);
}

}  // namespace tamsel
