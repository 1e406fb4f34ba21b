#pragma once

// Listing a folder so that the listing can stand in for probing each name: every entry
// spelled as the file system holds it, on file systems that compare names byte for byte.
// One source per platform (exact_listing_posix.cpp, exact_listing_win32.cpp).

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
// there compare ComparableName of both sides, and the short 8.3 names are listed too.
// errno (the last error on Windows) is left as it was.
std::optional<std::vector<std::string>> ListExactNames(const std::string& folder);

// Whether `name` stands for an entry of a folder itself, as opposed to a path into a
// sub-folder, the folder or its parent, or a text the system would cut short. On Windows
// a name ending in "." or " " is none either: the system would find it without them.
bool IsEntryName(std::string_view name);

// The spelling under which a listed name and a looked-up name are compared: the name
// itself on POSIX, its upper case by the rules Windows file systems find names with on
// Windows. The result views `name` or `storage`; nothing when the system cannot say (the
// name must then be probed).
std::optional<std::string_view> ComparableName(std::string_view name, std::string& storage);

}  // namespace tamsel
