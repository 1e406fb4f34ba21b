#pragma once

// The list format's pattern tests and case conversions as they are written, which the
// engine's faster tests (StartsWithIgnoringCase, FindChunked's Text mode) are pinned to.

#include <string>
#include <string_view>

namespace tamsel::test {

// Whole-string wildcard test, comparing characters exactly: "*" matches any run of
// characters (the empty run included), "[set]" matches exactly one character of the set
// (a range such as "A-Z" inside the set counts every character between its ends), every
// other character matches only itself. An unclosed "[" matches itself.
bool MatchWildcard(std::string_view text, std::string_view pattern);

// ASCII-only case conversion; every other byte (UTF-8 sequences included) is kept as is.
std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);

}  // namespace tamsel::test
