#include "support/text.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace tamsel {

namespace {

// Distance between the starts of two consecutive search windows; each window is this
// plus the find text long, so neighbours overlap by exactly one find text.
constexpr std::size_t kWindowStride = 64000;

constexpr char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Index of the first case-blind match of `find` in `text` at or after `from`, or npos.
std::size_t FindFolded(std::string_view text, std::string_view find, std::size_t from) {
    if (find.size() > text.size()) {
        return std::string_view::npos;
    }
    const char first = FoldAscii(find.front());
    // A first byte that is no letter (the "<" of a tag) is skipped to with memchr, many times
    // faster than folding byte by byte.
    const bool firstIsLetter = IsAsciiLetter(first);
    const std::size_t last = text.size() - find.size();
    for (std::size_t i = from; i <= last; ++i) {
        if (!firstIsLetter) {
            const void* hit = std::memchr(text.data() + i, first, last - i + 1);
            if (hit == nullptr) {
                return std::string_view::npos;
            }
            i = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        } else if (FoldAscii(text[i]) != first) {
            continue;
        }
        std::size_t k = 1;
        while (k < find.size() && FoldAscii(text[i + k]) == FoldAscii(find[k])) {
            ++k;
        }
        if (k == find.size()) {
            return i;
        }
    }
    return std::string_view::npos;
}

// Position (from 1) of `find` in `window` at or after position `from` (from 1), or 0.
std::size_t FindInWindow(std::string_view window, std::string_view find, std::size_t from,
                         CompareMode mode) {
    if (from > window.size()) {
        return 0;
    }
    const std::size_t index = mode == CompareMode::Text ? FindFolded(window, find, from - 1)
                                                        : window.find(find, from - 1);
    return index == std::string_view::npos ? 0 : index + 1;
}

// The windowed search, for texts longer than one window or a later occurrence. After a hit
// the search goes on behind it, in the same window or at that text position in the next.
std::size_t FindWindowed(std::size_t start, std::string_view text, std::string_view find,
                         CompareMode mode, long long occurrence) {
    const std::size_t windowLength = find.size() + kWindowStride;
    std::size_t next = start;  // text position (from 1) where the next hit may begin
    long long hits = 0;
    for (std::size_t p = start; p <= text.size(); p += kWindowStride) {
        const std::string_view window = text.substr(p - 1, windowLength);
        if (window.size() < find.size()) {
            break;
        }
        std::size_t from = next >= p ? next - p + 1 : 1;
        while (std::size_t r = FindInWindow(window, find, from, mode)) {
            if (++hits >= occurrence) {
                return p + r - 1;
            }
            from = r + find.size();
            next = p + from - 1;
        }
        // A window that reaches the end of the text holds every later window whole.
        if (p - 1 + window.size() == text.size()) {
            break;
        }
    }
    return 0;
}

// Bounds up to twice the text and this much more are reserved uncounted: a template with
// short values, the common case, is never searched twice.
constexpr std::size_t kUncountedSlack = 64 * 1024;

// Room for the whole output: (T div F + 1) x R when the replacement is longer than what it
// replaces, else T. Past the uncounted bound the exact size is counted instead, with one more
// search: a 700 KB title for an 11-letter placeholder would otherwise ask for gigabytes.
std::size_t OutputBound(std::string_view text, std::string_view find, std::string_view replacement,
                        CompareMode mode, long long count) {
    const std::size_t t = text.size();
    const std::size_t f = find.size();
    const std::size_t r = replacement.size();
    if (r <= f) {
        return t;
    }
    const std::size_t pieces = t / f + 1;
    const std::size_t uncounted =
        2 * std::min(t, std::numeric_limits<std::size_t>::max() / 4) + kUncountedSlack;
    if (pieces <= uncounted / r) {
        return pieces * r;
    }
    const std::size_t limit =
        count < 0 ? std::numeric_limits<std::size_t>::max() : static_cast<std::size_t>(count);
    std::size_t matches = 0;
    for (std::size_t pos = FindChunked(1, text, find, mode, 1); pos != 0 && matches < limit;
         pos = FindChunked(pos + f, text, find, mode, 1)) {
        ++matches;
    }
    const std::size_t growth = r - f;
    if (matches > (std::numeric_limits<std::size_t>::max() - t) / growth) {
        throw std::length_error("ReplaceText: result too long");
    }
    return t + matches * growth;
}

}  // namespace

std::size_t FindChunked(std::size_t start, std::string_view text, std::string_view find,
                        CompareMode mode, long long occurrence) {
    if (find.empty()) {
        return 0;
    }
    start = std::max<std::size_t>(start, 1);
    if (start > text.size()) {
        return 0;
    }
    occurrence = std::max(occurrence, 1LL);
    if (occurrence == 1 && text.size() <= find.size() + kWindowStride) {
        return FindInWindow(text, find, start, mode);
    }
    return FindWindowed(start, text, find, mode, occurrence);
}

std::string ReplaceText(std::string_view text, std::string_view find, std::string_view replacement,
                        CompareMode mode, long long count) {
    if (find.empty() || count == 0) {
        return std::string(text);
    }
    if (mode == CompareMode::Text && std::none_of(find.begin(), find.end(), IsAsciiLetter)) {
        mode = CompareMode::Binary;
    }
    std::size_t pos = FindChunked(1, text, find, mode, 1);
    if (pos == 0) {
        return std::string(text);
    }
    std::string out;
    out.reserve(OutputBound(text, find, replacement, mode, count));
    std::size_t consumed = 0;
    while (pos != 0 && count != 0) {
        out.append(text.substr(consumed, pos - consumed - 1));
        out.append(replacement);
        consumed = pos + find.size() - 1;
        pos = FindChunked(consumed + 1, text, find, mode, 1);
        if (count > 0) {
            --count;
        }
    }
    out.append(text.substr(consumed));
    return out;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    // Most prefixes are met spelt as they are: folding waits for a byte that differs.
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char p, char t) { return p == t || FoldAscii(p) == FoldAscii(t); });
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace tamsel
