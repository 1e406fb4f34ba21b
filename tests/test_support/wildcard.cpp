#include "test_support/wildcard.h"

#include <algorithm>
#include <cstddef>

namespace tamsel::test {

namespace {

// Where the single-character element at `j` ends: a "[" with a closing "]" opens a set,
// an unclosed one is an ordinary character.
std::size_t ElementEnd(std::string_view pattern, std::size_t j) {
    const std::size_t close = pattern[j] == '[' ? pattern.find(']', j + 1) : std::string_view::npos;
    return close == std::string_view::npos ? j + 1 : close + 1;
}

// Whether the set that starts with the "[" at `open` holds `c`; `end` receives the index
// behind the closing "]".
bool MatchSet(std::string_view pattern, std::size_t open, unsigned char c, std::size_t& end) {
    end = ElementEnd(pattern, open);
    if (end == open + 1) {
        return c == static_cast<unsigned char>(pattern[open]);
    }
    const std::string_view set = pattern.substr(open + 1, end - open - 2);
    for (std::size_t i = 0; i < set.size(); ++i) {
        const auto low = static_cast<unsigned char>(set[i]);
        if (i + 2 < set.size() && set[i + 1] == '-') {
            const auto high = static_cast<unsigned char>(set[i + 2]);
            if (c >= std::min(low, high) && c <= std::max(low, high)) {
                return true;
            }
            i += 2;
        } else if (c == low) {
            return true;
        }
    }
    return false;
}

// Whether the single-character element at `j` (a set or a literal) matches `c`; `next`
// receives the index of the element after it.
bool MatchOne(std::string_view pattern, std::size_t j, char c, std::size_t& next) {
    if (pattern[j] == '[') {
        return MatchSet(pattern, j, static_cast<unsigned char>(c), next);
    }
    next = j + 1;
    return pattern[j] == c;
}

// Whether `text` ends in what `rest`, a run of single-character elements, matches: behind
// a pattern's last "*", which takes whatever comes before.
bool EndsInMatch(std::string_view text, std::string_view rest) {
    std::size_t elements = 0;
    for (std::size_t j = 0; j < rest.size(); j = ElementEnd(rest, j)) {
        ++elements;
    }
    if (elements > text.size()) {
        return false;
    }
    std::size_t next = 0;
    for (std::size_t i = text.size() - elements, j = 0; i < text.size(); ++i, j = next) {
        if (!MatchOne(rest, j, text[i], next)) {
            return false;
        }
    }
    return true;
}

}  // namespace

// Greedy matching with a single backtrack point, the last "*" seen: on a mismatch that
// star takes one more character. Earlier stars never need revisiting, so the work stays
// bounded by text length times pattern length, with no recursion.
bool MatchWildcard(std::string_view text, std::string_view pattern) {
    std::size_t i = 0;
    std::size_t j = 0;
    std::size_t starPattern = std::string_view::npos;
    std::size_t starText = 0;
    while (i < text.size()) {
        std::size_t next = 0;
        if (j < pattern.size() && pattern[j] == '*') {
            starPattern = ++j;
            starText = i;
            if (pattern.find('*', j) == std::string_view::npos) {
                // The last star: the rest is decided at the end of the text, in one pass.
                return EndsInMatch(text.substr(i), pattern.substr(j));
            }
        } else if (j < pattern.size() && MatchOne(pattern, j, text[i], next)) {
            j = next;
            ++i;
        } else if (starPattern != std::string_view::npos) {
            j = starPattern;
            i = ++starText;
        } else {
            return false;
        }
    }
    while (j < pattern.size() && pattern[j] == '*') {
        ++j;
    }
    return j == pattern.size();
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
    }
    return out;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + 32);
        }
    }
    return out;
}

}  // namespace tamsel::test
