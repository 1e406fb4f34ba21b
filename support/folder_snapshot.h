#pragma once

// Answers "does this file exist?" for many names in one folder from one listing of the
// folder instead of one probe per name.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "support/file_system.h"

namespace tamsel {

class FolderSnapshot {
  public:
    // Lists, through `files`, the folder that `prefix` names up to its last separator (see
    // ListingFolderPart): "a/IMAGES/" itself, the current folder for "IMAGES". `files`
    // must outlive the snapshot. Where `files` can probe from any thread, the listed names
    // are probed ahead on a thread of their own.
    FolderSnapshot(FileSystem& files, std::string_view prefix);
    // Stops the probing ahead.
    ~FolderSnapshot();
    FolderSnapshot(const FolderSnapshot&) = delete;
    FolderSnapshot& operator=(const FolderSnapshot&) = delete;

    // The same answer as files.FileExists(path) while the folder does not change. A name
    // of the folder that the listing lacks counts as missing without a probe; a listed
    // name is probed, once, so an empty file, a folder or a file being written still
    // counts as missing. Paths in other folders, and every path when the folder could not
    // be listed exactly, are probed.
    bool FileExists(const std::string& path) const;

  private:
    struct Hash {
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    enum Answer : std::uint8_t { kUnknown, kExists, kMissing };

    // The place in names_ of the listed name compared as `comparable`; nothing when the
    // listing lacks it.
    std::optional<std::uint32_t> Place(std::string_view comparable) const;
    bool Probe(std::size_t listed) const;
    void ProbeAhead();

    FileSystem& files_;
    std::string folder_;
    std::vector<std::string> names_;      // as listed
    std::vector<std::string> spellings_;  // those that compare in another spelling
    // Answers for the listed names, each by its name alone.
    std::function<bool(const std::string& name)> probe_;
    // Each listed name's place in names_, under its compared spelling (viewing names_ or
    // spellings_, which never grow once filled).
    std::unordered_map<std::string_view, std::uint32_t, Hash> places_;
    // One bit per listed name's hash (modulo the bit count): a clear bit answers most
    // lookups of absent names without touching the map, whose nodes lie all over memory.
    std::vector<std::uint64_t> hashBits_;
    // One per listed name; none when the folder could not be listed exactly.
    std::unique_ptr<std::atomic<Answer>[]> answers_;
    std::atomic<bool> stopping_ = false;
    std::thread prober_;
};

}  // namespace tamsel
