#include "support/folder_snapshot.h"

#include <utility>

#include "support/exact_listing.h"
#include "support/path.h"

namespace tamsel {

FolderSnapshot::FolderSnapshot(FileSystem& files, std::string_view prefix)
    : files_(files), folder_(NativeFolderOf(prefix)) {
    std::optional<std::vector<std::string>> names = files_.ListExactNames(folder_);
    if (!names) {
        return;
    }
    names_ = std::move(*names);
    spellings_.reserve(names_.size());
    places_.reserve(names_.size());
    placesFilter_ = HashFilter(names_.size());
    for (std::size_t n = 0; n < names_.size(); ++n) {
        std::string spelling;
        std::optional<std::string_view> comparable = ComparableName(names_[n], spelling);
        if (!comparable) {
            return;  // not listed: every name is probed
        }
        if (comparable->data() == spelling.data()) {
            comparable = spellings_.emplace_back(std::move(spelling));
        }
        places_.emplace(*comparable, n);
        placesFilter_.Add(*comparable);
    }
    answers_.assign(names_.size(), Answer::Unknown);
    listed_ = true;
}

bool FolderSnapshot::FileExists(const std::string& path) {
    if (listed_ && path.starts_with(folder_)) {
        const std::string_view name = std::string_view(path).substr(folder_.size());
        std::string spelling;
        const std::optional<std::string_view> comparable =
            IsEntryName(name) ? ComparableName(name, spelling) : std::nullopt;
        if (comparable) {
            const auto place =
                placesFilter_.MayHold(*comparable) ? places_.find(*comparable) : places_.end();
            if (place == places_.end()) {
                return false;
            }
            Answer& answer = answers_[place->second];
            if (answer == Answer::Unknown) {
                answer = files_.FileExists(folder_ + names_[place->second]) ? Answer::Exists
                                                                            : Answer::Missing;
            }
            return answer == Answer::Exists;
        }
    }
    return files_.FileExists(path);
}

}  // namespace tamsel
