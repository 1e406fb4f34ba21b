#include "support/folder_listing.h"

#include <algorithm>

#include "support/case_fold.h"

namespace tamsel {

namespace {

// Bytes taken by the character that starts at `at`: a lead byte and its continuation
// bytes, so that "?" and "*" never split a UTF-8 sequence.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
    std::size_t length = 1;
    while (at + length < text.size() &&
           (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

// Whether the characters at `n` of the name and `p` of the pattern are one letter in any
// case; if so, moves both past it. A letter and its folded form may differ in length.
bool SameLetter(std::string_view name, std::size_t& n, std::string_view pattern, std::size_t& p) {
    const auto x = static_cast<unsigned char>(name[n]);
    const auto y = static_cast<unsigned char>(pattern[p]);
    if ((x | y) < 0x80) {  // both ASCII, the common case, without decoding
        const bool same =
            x == y || ((x | 0x20) == (y | 0x20) && (x | 0x20) >= 'a' && (x | 0x20) <= 'z');
        n += same ? 1 : 0;
        p += same ? 1 : 0;
        return same;
    }
    const FoldedCharacter inName = FoldedCharacterAt(name, n);
    const FoldedCharacter inPattern = FoldedCharacterAt(pattern, p);
    if (inName.folded != inPattern.folded) {
        return false;
    }
    n += inName.length;
    p += inPattern.length;
    return true;
}

// Whole-name match with backtracking to the last "*" only, which is enough because a
// later "*" can absorb whatever an earlier one would have: linear in practice.
bool MatchesWhole(std::string_view name, std::string_view pattern) {
    constexpr auto kNone = std::string_view::npos;
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = kNone;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = ++p;
            starName = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            n += CharacterLength(name, n);
            ++p;
        } else if (p < pattern.size() && SameLetter(name, n, pattern, p)) {
            continue;  // both moved past the letter
        } else if (starPattern != kNone) {
            starName += CharacterLength(name, starName);
            n = starName;
            p = starPattern;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

// Whether `name` begins with `prefix` in any letter case; `prefix` holds no wildcard.
bool StartsWithLetters(std::string_view name, std::string_view prefix) {
    std::size_t n = 0;
    std::size_t p = 0;
    while (p < prefix.size()) {
        if (n == name.size() || !SameLetter(name, n, prefix, p)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<std::string> ListFolder(std::string_view pattern, unsigned attributes) {
    std::vector<std::string> names;
    ListFolderInto(pattern, attributes, names);
    return names;
}

bool MatchesListingPattern(std::string_view name, std::string_view pattern) {
    // A completion lists what was typed followed by "*.*", which matches every name that
    // begins with the typed text: the one comparison a name needs in a folder of many.
    const std::string_view typed =
        pattern.substr(0, pattern.size() - std::min<std::size_t>(3, pattern.size()));
    if (pattern.ends_with("*.*") && typed.find_first_of("*?") == std::string_view::npos) {
        return StartsWithLetters(name, typed);
    }
    if (MatchesWhole(name, pattern)) {
        return true;
    }
    return pattern.ends_with(".*") && MatchesWhole(name, pattern.substr(0, pattern.size() - 2));
}

}  // namespace tamsel
