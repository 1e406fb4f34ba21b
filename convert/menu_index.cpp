#include "convert/menu_index.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tamsel {

namespace {

bool IsBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}

bool EndsLine(char c) {
    return c == '\r' || c == '\n';
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

__extension__ using Wide = unsigned __int128;

// The high and low halves of a full 64-bit product, folded: every bit of each factor
// reaches every bit of the result.
std::uint64_t Fold(std::uint64_t a, std::uint64_t b) {
    const Wide product = static_cast<Wide>(a) * b;
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

std::uint64_t Load(const char* at, std::size_t bytes) {
    std::uint64_t value = 0;
    std::memcpy(&value, at, bytes);
    return value;
}

}  // namespace

// Sixteen bytes a step, one multiplication each: every link hashes both its entries, so
// this is in a run's inner loop, and std::hash takes eight bytes a step with more work.
std::size_t HashOfText(std::string_view text) {
    constexpr std::uint64_t kOdd0 = 0xa0761d6478bd642f;
    constexpr std::uint64_t kOdd1 = 0xe7037ed1a0b428db;
    constexpr std::uint64_t kOdd2 = 0x8ebc6af09c88c6e3;
    const char* at = text.data();
    std::size_t left = text.size();
    std::uint64_t state = kOdd0 ^ Fold(text.size() ^ kOdd1, kOdd2);
    for (; left > 16; at += 16, left -= 16) {
        state = Fold(Load(at, 8) ^ kOdd1, Load(at + 8, 8) ^ state);
    }
    // The last 1 to 16 bytes, read as two words that may overlap.
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    if (left >= 8) {
        first = Load(at, 8);
        last = Load(at + left - 8, 8);
    } else if (left > 0) {
        first = Load(at, left / 2);
        last = Load(at + left / 2, left - left / 2);
    }
    return static_cast<std::size_t>(Fold(first ^ kOdd1, last ^ state ^ kOdd2) ^ state);
}

std::string_view TrimEntry(std::string_view text) {
    return Trim(text, [](char c) { return IsBlankOrTab(c) || EndsLine(c); });
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
