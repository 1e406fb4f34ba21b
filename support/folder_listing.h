#pragma once

// Where a folder listing's pattern names its folder. A pattern is a path whose last element
// may hold the wildcards "*" and "?": the path boxes list folders by such patterns, and the
// icon lookup names its folder the same way.

#include <string>
#include <string_view>

namespace tamsel {

// The folder part of a listing pattern as the pattern writes it, ending in its separator:
// up to the last "/" on POSIX, where "\" and "?" are ordinary name characters; up to the
// last "\" or "/" (or the ":" of a drive such as "C:") on Windows. Empty when the pattern
// names an entry of the current folder. A completed path is this part followed by a name
// of the listing, so it always names the folder that was listed.
std::string ListingFolderPart(std::string_view pattern);

}  // namespace tamsel
