#pragma once

// Letters that differ only in case, compared the way Unicode's simple case folding does it:
// each code point maps to one code point, so "Ü" and "ü", or "Σ", "σ" and "ς", become one.

#include <cstddef>
#include <string_view>

namespace tamsel {

// The simple case folding of one code point; code points without one map to themselves.
char32_t FoldCase(char32_t c);

// One character of a UTF-8 text, case-folded.
struct FoldedCharacter {
    // The folded code point; a byte that starts no valid UTF-8 sequence stands for itself,
    // as a value above every code point, so it equals only the same byte.
    char32_t folded = 0;
    // The bytes the character takes in the text (at least 1).
    std::size_t length = 1;
};

// The character that starts at byte `at` of `text` (which must be inside the text).
FoldedCharacter FoldedCharacterAt(std::string_view text, std::size_t at);

}  // namespace tamsel
