#pragma once

// Answers "does this file exist?" for many names in one folder from one listing of the
// folder instead of one probe per name.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "support/file_system.h"

namespace tamsel {

class FolderSnapshot {
  public:
    // Lists, through `files`, the folder that `prefix` names up to its last separator (see
    // ListingFolderPart): "a/IMAGES/" itself, the current folder for "IMAGES". `files`
    // must outlive the snapshot.
    FolderSnapshot(FileSystem& files, std::string_view prefix);

    // The same answer as files.FileExists(path) while the folder does not change. A name
    // of the folder that the listing lacks counts as missing without a probe; a listed
    // name is probed, so an empty file, a folder or a file being written still counts as
    // missing. Paths in other folders, and every path when the folder could not be listed
    // exactly, are probed.
    bool FileExists(const std::string& path) const;

  private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };

    bool Lists(std::string_view name) const;

    FileSystem& files_;
    std::string folder_;
    bool listed_ = false;
    std::unordered_set<std::string, Hash, std::equal_to<>> names_;
    // One bit per listed name's hash (modulo the bit count): a clear bit answers most
    // lookups of absent names without touching the set, whose nodes lie all over memory.
    std::vector<std::uint64_t> hashBits_;
};

}  // namespace tamsel
