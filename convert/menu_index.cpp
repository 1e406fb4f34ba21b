#include "convert/menu_index.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace tamsel {

namespace {

bool IsBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}

bool EndsLine(char c) {
    return c == '\r' || c == '\n';
}

// Where the line that begins at `from` ends: at the first CR or LF, or the end of `text`.
// A plain loop: find_first_of looks each byte up in the set of breaks, which costs more.
std::size_t LineEnd(std::string_view text, std::size_t from) {
    while (from < text.size() && !EndsLine(text[from])) {
        ++from;
    }
    return from;
}

std::string_view TrimBlanksAndTabs(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

}  // namespace

std::size_t HashOfText(std::string_view text) {
    return std::hash<std::string_view>{}(text);
}

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

// A menu repeats many lines ("</Table>", "</View>"), so the table files each content once,
// with its lines side by side in `lines_`, and a lookup does not wade through the others.
MenuIndex::MenuIndex(std::string_view menu) : menu_(menu) {
    std::size_t begin = 0;
    while (begin < menu.size()) {
        const std::size_t end = LineEnd(menu, begin);
        const std::string_view content = TrimBlanksAndTabs(menu.substr(begin, end - begin));
        if (!content.empty()) {
            lines_.push_back(
                Line{HashOfText(content), static_cast<std::size_t>(content.data() - menu.data())});
        }
        begin = end + 1;
    }
    std::sort(lines_.begin(), lines_.end());
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i == 0 || lines_[i].hash != lines_[i - 1].hash) {
            groups_.Insert(lines_[i].hash, static_cast<std::uint32_t>(i));
        }
    }
}

// An entry on lines of its own begins where its first line's content begins, so it is
// compared only at the lines whose content is that of its first line.
bool MenuIndex::HoldsOnOwnLines(std::string_view entry) const {
    return !entry.empty() && HoldsOnOwnLines(entry, FirstLineHash(entry));
}

bool MenuIndex::HoldsOnOwnLines(std::string_view entry, std::size_t firstLineHash) const {
    return !entry.empty() && groups_.Find(firstLineHash, [&](std::uint32_t first) {
        for (std::size_t i = first; i < lines_.size() && lines_[i].hash == firstLineHash; ++i) {
            if (StandsAt(lines_[i].start, entry)) {
                return true;
            }
        }
        return false;
    });
}

std::size_t MenuIndex::FirstLineHash(std::string_view entry) {
    return HashOfText(TrimBlanksAndTabs(entry.substr(0, LineEnd(entry, 0))));
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
