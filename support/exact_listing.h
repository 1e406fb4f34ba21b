#pragma once

// Listing a folder so that the listing can stand in for probing each name: every entry
// spelled as the file system holds it, on file systems that compare names byte for byte.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel {

// The names of the entries of `folder` (UTF-8, ending in a separator, or empty for the
// current folder), without "." and "..", when a name missing from them is certain to name
// no entry there. Nothing when the folder cannot be listed whole, or when its file system
// may find an entry under another spelling (Unicode forms, a server's rules, case folding
// on Linux): only Linux folders on ext2/3/4, XFS, Btrfs and tmpfs without case folding
// qualify, and on Windows local NTFS, ReFS and FAT folders, which ignore letter case only:
// there compare UpperCaseName of both sides, and the short 8.3 names are listed too.
// errno (the last error on Windows) is left as it was.
std::optional<std::vector<std::string>> ListExactNames(const std::string& folder);

#ifdef _WIN32
// `name` in upper case by the rules Windows file systems find names with; nothing when the
// system cannot say (the name must then be probed).
std::optional<std::string> UpperCaseName(std::string_view name);
#endif

}  // namespace tamsel
