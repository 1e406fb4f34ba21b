#include "convert/menu_index.h"

#include <algorithm>
#include <cstring>

namespace tamsel {

namespace {

bool IsBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}

bool EndsLine(char c) {
    return c == '\r' || c == '\n';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Where the line that begins at `from` ends: at the first CR or LF, or the end of `text`.
// Two memchr passes, the CR looked for only before the LF: a loop over the bytes cost
// several times as much on an entry's first line, and find_first_of more still.
std::size_t LineEnd(std::string_view text, std::size_t from) {
    const std::string_view rest = text.substr(from);
    const std::size_t lf = std::min(rest.find('\n'), rest.size());
    return from + std::min(rest.substr(0, lf).find('\r'), lf);
}

// `text` without the bytes `isTrimmed` picks at both ends. A loop: find_first_not_of calls
// memchr on its set for every byte it passes, and every entry of every link is trimmed.
template <typename Predicate>
std::string_view Trim(std::string_view text, Predicate isTrimmed) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isTrimmed(text[first])) {
        ++first;
    }
    while (last > first && isTrimmed(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

std::string_view TrimBlanksAndTabs(std::string_view text) {
    return Trim(text, IsBlankOrTab);
}

// With memchr: a byte loop over the menu cost a tenth of a short run.
std::size_t LineCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = text.find('\n'); at != std::string_view::npos;
         at = text.find('\n', at + 1)) {
        ++count;
    }
    return count;
}

}  // namespace

std::string_view TrimEntry(std::string_view text) {
    return Trim(text, [](char c) { return IsBlankOrTab(c) || EndsLine(c); });
}

std::string_view FirstLineOf(std::string_view entry) {
    return TrimBlanksAndTabs(entry.substr(0, LineEnd(entry, 0)));
}

bool HoldsSuffixDigits(std::string_view text) {
    for (std::size_t at = text.find('_'); at != std::string_view::npos;
         at = text.find('_', at + 1)) {
        if (at + 1 < text.size() && IsDigit(text[at + 1])) {
            return true;
        }
    }
    return false;
}

std::string SuffixShape(std::string_view text) {
    std::string shape;
    shape.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        shape += text[at];
        if (text[at] == '_') {
            while (at + 1 < text.size() && IsDigit(text[at + 1])) {
                ++at;
            }
        }
    }
    return shape;
}

MenuIndex::MenuIndex(std::string_view menu) : menu_(menu), linesFilter_(LineCount(menu)) {
    std::size_t begin = 0;
    while (begin < menu.size()) {
        const std::size_t end = LineEnd(menu, begin);
        const std::string_view content = TrimBlanksAndTabs(menu.substr(begin, end - begin));
        if (!content.empty()) {
            const auto start = static_cast<std::size_t>(content.data() - menu.data());
            lines_[content].push_back(start);
            linesFilter_.Add(content);
            if (HoldsSuffixDigits(content)) {
                shapes_.emplace(std::pmr::string(SuffixShape(content), &pool_), start);
            }
        }
        begin = end + 1;
    }
}

// An entry on lines of its own begins where its first line's content begins, so it is
// compared only at the lines whose content is that of its first line.
bool MenuIndex::HoldsOnOwnLines(std::string_view entry) const {
    if (entry.empty()) {
        return false;
    }
    const std::string_view firstLine = FirstLineOf(entry);
    if (!linesFilter_.MayHold(firstLine)) {
        return false;
    }
    const auto found = lines_.find(firstLine);
    return found != lines_.end() &&
           std::any_of(found->second.begin(), found->second.end(),
                       [this, entry](std::size_t start) { return StandsAt(start, entry); });
}

bool MenuIndex::AnyLineFrom(std::string_view content, bool byShape,
                            const std::function<bool(std::string_view from)>& visit) const {
    if (byShape) {
        const auto [first, last] = shapes_.equal_range(std::pmr::string(content));
        return std::any_of(first, last,
                           [&](const auto& line) { return visit(menu_.substr(line.second)); });
    }
    const auto found = lines_.find(content);
    return found != lines_.end() &&
           std::any_of(found->second.begin(), found->second.end(),
                       [&](std::size_t start) { return visit(menu_.substr(start)); });
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
