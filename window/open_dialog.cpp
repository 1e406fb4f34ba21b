#include "window/open_dialog.h"

#include <algorithm>

#include "support/text.h"

namespace tamsel {

std::vector<FileFilter> ParseBarFilter(std::string_view barFilter) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t bar = barFilter.find('|', start);
        parts.push_back(barFilter.substr(start, bar - start));
        if (bar == std::string_view::npos) {
            break;
        }
        start = bar + 1;
    }
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        const std::string_view patterns = TrimBlanks(parts[i + 1]);
        if (!patterns.empty()) {
            filters.push_back({std::string(parts[i]), std::string(patterns)});
        }
    }
    return filters;
}

std::string NameWithPatterns(const FileFilter& filter) {
    std::string shown = "(" + filter.patterns + ")";
    std::ranges::replace(shown, ';', ' ');
    if (filter.description.ends_with(shown)) {
        return filter.description;
    }
    return std::string(TrimBlanks(filter.description)) + " " + shown;
}

std::string NulSeparatedFilter(std::string_view barFilter) {
    std::string list(barFilter);
    if (!list.ends_with('|')) {
        list += '|';
    }
    std::ranges::replace(list, '|', '\0');
    return list;
}

std::string TrimAtNull(std::string_view buffer) {
    return std::string(TrimBlanks(buffer.substr(0, buffer.find('\0'))));
}

}  // namespace tamsel
