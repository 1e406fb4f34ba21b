#pragma once

#include <string_view>

namespace tamsel {

// Whole-string wildcard test, comparing characters exactly: "*" matches any run of
// characters (the empty run included), "[set]" matches exactly one character of the set
// (a range such as "A-Z" inside the set counts every character between its ends), every
// other character matches only itself. An unclosed "[" matches itself.
bool MatchWildcard(std::string_view text, std::string_view pattern);

}  // namespace tamsel
