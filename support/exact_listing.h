#pragma once

// Listing a folder so that the listing can stand in for probing each name: every entry
// spelled as the file system holds it, on file systems that compare names byte for byte.

#include <optional>
#include <string>
#include <vector>

namespace tamsel {

// The names of the entries of `folder` (UTF-8, ending in a separator, or empty for the
// current folder), without "." and "..", when a name missing from them is certain to name
// no entry there. Nothing when the folder cannot be listed whole, or when its file system
// may find an entry under another spelling (ignoring letter case or Unicode forms, as
// Windows, network and case-folding folders do): only Linux folders on ext2/3/4, XFS,
// Btrfs and tmpfs without case folding qualify. errno is left as it was.
std::optional<std::vector<std::string>> ListExactNames(const std::string& folder);

}  // namespace tamsel
