#pragma once

// Listing a folder so that the listing can stand in for probing each name, on file systems
// that find names by one spelling only. One source per platform.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel {

// The names of the entries of `folder` (ending in a separator, or empty for the current
// folder), as stored, without "." and "..", when a name missing from them surely names no
// entry there. Nothing when the folder cannot be listed whole, or its file system may find
// an entry under another spelling (Unicode forms, a server's rules, case folding): only
// Linux ext2/3/4, XFS, Btrfs and tmpfs folders without case folding qualify, and local NTFS,
// ReFS and FAT folders on Windows, which ignore letter case only (compare ComparableName of
// both sides; 8.3 names are listed too). The last system error is left as it was.
std::optional<std::vector<std::string>> ListExactNames(const std::string& folder);

// Whether `name` is an entry of a folder, not a path into a sub-folder, the folder or its
// parent, or a text the system would cut short. On Windows a name ending in "." or " " is
// none either: the system would find it without them.
bool IsEntryName(std::string_view name);

// The spelling a listed and a looked-up name are compared in: the name itself on POSIX,
// its upper case by the file systems' rules on Windows. Views `name` or `storage`; nothing
// when the system cannot say (the name must then be probed).
std::optional<std::string_view> ComparableName(std::string_view name, std::string& storage);

}  // namespace tamsel
