#include "convert/menu_index.h"

#include <algorithm>
#include <functional>

namespace tamsel {

namespace {

bool IsBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}

bool EndsLine(char c) {
    return c == '\r' || c == '\n';
}

std::string_view TrimBlanksAndTabs(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

std::size_t HashOf(std::string_view text) {
    return std::hash<std::string_view>{}(text);
}

}  // namespace

std::string_view TrimEntry(std::string_view text) {
    constexpr std::string_view kAround = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kAround);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kAround) + 1 - first);
}

bool MenuIndex::Line::operator<(const Line& other) const {
    return hash != other.hash ? hash < other.hash : start < other.start;
}

MenuIndex::MenuIndex(std::string_view menu) : menu_(menu) {
    std::size_t begin = 0;
    while (begin < menu.size()) {
        std::size_t end = begin;
        while (end < menu.size() && !EndsLine(menu[end])) {
            ++end;
        }
        const std::string_view content = TrimBlanksAndTabs(menu.substr(begin, end - begin));
        if (!content.empty()) {
            lines_.push_back(
                Line{HashOf(content), static_cast<std::size_t>(content.data() - menu.data())});
        }
        begin = end + 1;
    }
    std::sort(lines_.begin(), lines_.end());
}

// An entry on lines of its own begins where its first line's content begins, so it is
// compared only at the lines whose content is that of its first line.
bool MenuIndex::HoldsOnOwnLines(std::string_view entry) const {
    if (entry.empty()) {
        return false;
    }
    const std::size_t firstBreak = entry.find_first_of("\r\n");
    const std::size_t hash = HashOf(TrimBlanksAndTabs(entry.substr(0, firstBreak)));
    for (auto line = std::lower_bound(lines_.begin(), lines_.end(), Line{hash, 0});
         line != lines_.end() && line->hash == hash; ++line) {
        if (StandsAt(line->start, entry)) {
            return true;
        }
    }
    return false;
}

bool MenuIndex::StandsAt(std::size_t start, std::string_view entry) const {
    if (menu_.substr(start, entry.size()) != entry) {
        return false;
    }
    std::size_t after = start + entry.size();
    while (after < menu_.size() && IsBlankOrTab(menu_[after])) {
        ++after;
    }
    return after == menu_.size() || EndsLine(menu_[after]);
}

}  // namespace tamsel
