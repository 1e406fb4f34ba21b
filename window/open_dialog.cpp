#include "window/open_dialog.h"

#include <algorithm>

#include "support/text.h"

namespace tamsel {

std::vector<FileFilter> ParseBarFilter(std::string_view barFilter) {
    std::vector<FileFilter> filters;
    std::size_t start = 0;
    for (std::size_t bar; (bar = barFilter.find('|', start)) != std::string_view::npos;) {
        const std::size_t end = std::min(barFilter.find('|', bar + 1), barFilter.size());
        const std::string_view patterns = TrimBlanks(barFilter.substr(bar + 1, end - bar - 1));
        if (!patterns.empty()) {
            filters.push_back(
                {std::string(barFilter.substr(start, bar - start)), std::string(patterns)});
        }
        start = end + 1;
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
