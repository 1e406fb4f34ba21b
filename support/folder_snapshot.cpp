#include "support/folder_snapshot.h"

#include <optional>
#include <utility>

#include "support/exact_listing.h"
#include "support/folder_listing.h"

namespace tamsel {

namespace {

// Whether `name` stands for an entry of the folder itself, as opposed to a path into a
// sub-folder, the folder or its parent, or a text the system would cut short.
bool IsEntryName(std::string_view name) {
#ifdef _WIN32
    constexpr std::string_view kNotInNames{"\\/:\0", 4};
    // The system drops dots and blanks at a name's end, finding "a.png" for "a.png. ".
    if (name.ends_with('.') || name.ends_with(' ')) {
        return false;
    }
#else
    constexpr std::string_view kNotInNames{"/\0", 2};
#endif
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(kNotInNames) == std::string_view::npos;
}

// The spelling under which the snapshot keeps a name and looks it up (Windows finds a name
// in any letter case); nothing when there is none.
#ifdef _WIN32
std::optional<std::string> Comparable(std::string_view name) {
    return UpperCaseName(name);
}
#else
std::optional<std::string_view> Comparable(std::string_view name) {
    return name;
}
#endif

}  // namespace

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
        const auto comparable = Comparable(name);
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
    const auto name = Comparable(entry);
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
