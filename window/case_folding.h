#pragma once

// Unicode simple case folding, so that names are compared without regard to case in every
// script, not only in ASCII. The table is generated from the Unicode data by
// scripts/generate-case-folding.

#include <string>
#include <string_view>

namespace tamsel {

// The simple case folding of one code point; a code point without one comes back as it is.
char32_t FoldCodePoint(char32_t codePoint);

// `utf8` with every character replaced by its simple case folding. Each character stays
// one character, so wildcards that count characters count the same in the result; bytes
// that start no valid UTF-8 sequence are kept as they are.
std::string FoldCase(std::string_view utf8);

}  // namespace tamsel
