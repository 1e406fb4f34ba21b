#include "support/folder_snapshot.h"

#include <optional>
#include <utility>

#include "support/exact_listing.h"
#include "support/folder_listing.h"

namespace tamsel {

FolderSnapshot::FolderSnapshot(FileSystem& files, std::string_view prefix)
    : files_(files), folder_(ListingFolderPart(prefix)) {
    std::optional<std::vector<std::string>> names = files_.ListExactNames(folder_);
    if (!names) {
        return;
    }
    std::size_t words = 1;
    while (words * 64 < names->size() * 16) {
        words *= 2;  // 16 bits per name: about one absent name in twenty reaches the set
    }
    hashBits_.assign(words, 0);
    names_.reserve(names->size());
    for (const std::string& name : *names) {
        std::string spelling;
        const std::optional<std::string_view> comparable = ComparableName(name, spelling);
        if (!comparable) {
            return;  // not listed: every name is probed
        }
        std::string key(*comparable);
        const std::size_t bit = Hash{}(key) & (words * 64 - 1);
        hashBits_[bit / 64] |= std::uint64_t{1} << (bit % 64);
        names_.insert(std::move(key));
    }
    listed_ = true;
}

bool FolderSnapshot::Lists(std::string_view entry) const {
    std::string spelling;
    const std::optional<std::string_view> name = ComparableName(entry, spelling);
    if (!name) {
        return true;  // only a probe can tell
    }
    const std::size_t bit = Hash{}(*name) & (hashBits_.size() * 64 - 1);
    return (hashBits_[bit / 64] >> (bit % 64) & 1) != 0 && names_.contains(*name);
}

bool FolderSnapshot::FileExists(const std::string& path) const {
    if (listed_ && path.starts_with(folder_)) {
        const std::string_view name = std::string_view(path).substr(folder_.size());
        if (IsEntryName(name) && !Lists(name)) {
            return false;
        }
    }
    return files_.FileExists(path);
}

}  // namespace tamsel
