#pragma once

// Answers "does this file exist?" for many names in one folder from one listing of the
// folder instead of one probe per name.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "support/file_system.h"
#include "support/hash_filter.h"

namespace tamsel {

class FolderSnapshot {
  public:
    // Lists, through `files`, the folder that `prefix` names up to its last separator
    // (NativeFolderOf): "a/IMAGES/" itself, the current folder for "IMAGES". `files` must
    // outlive the snapshot.
    FolderSnapshot(FileSystem& files, std::string_view prefix);

    // The same answer as files.FileExists(path) while the folder does not change: a name
    // the listing lacks is missing without a probe, a listed one is probed once. Paths in
    // other folders, and all when the folder could not be listed exactly, are probed.
    bool FileExists(const std::string& path);

  private:
    enum class Answer : std::uint8_t { Unknown, Exists, Missing };

    FileSystem& files_;
    std::string folder_;
    bool listed_ = false;
    std::vector<std::string> names_;      // as listed
    std::vector<std::string> spellings_;  // those that compare in another spelling
    // Each listed name's place in names_, under its compared spelling (viewing names_ or
    // spellings_, which never grow once filled).
    std::unordered_map<std::string_view, std::size_t> places_;
    HashFilter placesFilter_{0};   // in front of places_: most links have no icon
    std::vector<Answer> answers_;  // one per listed name
};

}  // namespace tamsel
