#include "support/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <mutex>
#include <utility>

#include "support/folder_read_ahead.h"
#include "support/folder_watch.h"
#include "support/followed_listings.h"

namespace tamsel {

namespace {

bool IsDotEntry(std::string_view name) {
    return name == "." || name == "..";
}

char Capital(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The length of the byte-for-byte equal start of `a` and `b`, up to `common`, found eight
// bytes at a time and rounded down to a multiple of eight.
std::size_t EqualWords(const char* a, const char* b, std::size_t common) {
    std::size_t i = 0;
    for (std::uint64_t x = 0, y = 0; i + 8 <= common; i += 8) {
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) {
            break;
        }
    }
    return i;
}

// Capitals as the folded form give the order Windows file systems keep ("_" after letters).
// Sorting a large folder compares names that often share long prefixes: the equal bytes are
// skipped a word at a time, and folding starts where they end.
bool LessIgnoringCase(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = EqualWords(a.data(), b.data(), common); i < common; ++i) {
        const auto x = static_cast<unsigned char>(Capital(a[i]));
        const auto y = static_cast<unsigned char>(Capital(b[i]));
        if (x != y) {
            return x < y;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;  // names that differ only in case still get one fixed order
}

bool IsFolder(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool IsWanted(const std::string& folder, std::string_view name, unsigned attributes) {
    bool dotEntry = IsDotEntry(name);
    if (!dotEntry && name.front() == '.' && (attributes & kListHidden) == 0) {
        return false;
    }
    // Only a mask without folders needs to know, so a full listing never stats an entry.
    if ((attributes & kListFolder) == 0 &&
        (dotEntry || IsFolder((folder.empty() ? "./" : folder) + std::string(name)))) {
        return false;
    }
    return true;
}

// What identifies a folder's list of names: adding, removing or renaming an entry changes
// the folder's modification time.
struct FolderStamp {
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified{};

    bool operator==(const FolderStamp& other) const {
        return device == other.device && inode == other.inode &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

FolderStamp StampOf(const struct stat& status) {
    return {status.st_dev, status.st_ino, status.st_mtim};
}

// File systems stamp times from a clock that ticks in steps of milliseconds, so a change
// made in the same tick as an earlier reading can leave the stamp as it was. A folder whose
// stamp is this recent is read again on every listing.
bool Settled(const FolderStamp& stamp) {
    constexpr time_t kSettleSeconds = 2;
    return stamp.modified.tv_sec + kSettleSeconds < time(nullptr);
}

// Every name of a folder, "." and ".." first, then the others in case-insensitive order;
// false when the folder cannot be read whole.
bool ReadAllNames(DIR* folder, std::vector<std::string>& names) {
    std::vector<std::string> dots;
    // The strings of the last reading are written over: a large folder is read again on
    // every change, and a fresh string per name costs as much as the reading.
    std::size_t count = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(folder);
        if (entry == nullptr) {
            break;
        }
        const std::string_view name = entry->d_name;
        if (IsDotEntry(name)) {
            dots.emplace_back(name);
        } else if (count < names.size()) {
            names[count++].assign(name);
        } else {
            names.emplace_back(name);
            ++count;
        }
    }
    const bool whole = errno == 0;
    names.resize(count);
    std::sort(dots.begin(), dots.end());
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    names.insert(names.begin(), std::make_move_iterator(dots.begin()),
                 std::make_move_iterator(dots.end()));
    return whole;
}

// The sorted names of a folder read lately, kept while no entry came, went or was renamed:
// typing on in a folder lists it again on every key, and reading a large folder is most of
// the time a completion takes. A watched folder's names follow the changes the system
// tells; an unwatched one's are trusted while its stamp stays.
struct FolderNames {
    FolderStamp stamp;
    bool reusable = false;
    int watch = FolderWatch::kNone;
    int changesFollowed = 0;  // since the last listing
    std::uint64_t lastUse = 0;
    std::vector<std::string> names;
};

// Where `name` is, or would go, among the sorted names after the dots.
std::vector<std::string>::iterator PlaceOf(std::vector<std::string>& names, std::string_view name) {
    auto first = names.begin();
    while (first != names.end() && IsDotEntry(*first)) {
        ++first;
    }
    return std::lower_bound(first, names.end(), name, LessIgnoringCase);
}

// Brings `names` up to one told change; false for a change they cannot follow.
bool Follow(std::vector<std::string>& names, FolderWatch::Change change, std::string_view name) {
    if (change == FolderWatch::Change::kLost) {
        return false;
    }
    if (IsDotEntry(name)) {
        return true;
    }
    const auto place = PlaceOf(names, name);
    const bool present = place != names.end() && *place == name;
    if (change == FolderWatch::Change::kAdded && !present) {
        names.emplace(place, name);
    } else if (change == FolderWatch::Change::kRemoved && present) {
        names.erase(place);
    }
    return true;
}

// The folder a path box is in and the one its text names, read ahead, and one more: the
// listings of the few folders read last, shared by every thread.
class KeptFolders {
  public:
    static KeptFolders& Instance() {
        static KeptFolders instance;
        return instance;
    }

    // The names of `folderPart` (the current folder when empty), from a reading kept while
    // the folder has not changed; nullptr when it cannot be read. A folder that fails
    // part-way gives the names read so far. Holds `lock` on the kept names.
    const std::vector<std::string>* NamesOf(const std::string& folderPart,
                                            std::unique_lock<std::mutex>& lock) {
        readAhead_.Settle(folderPart);
        DIR* folder = opendir(folderPart.empty() ? "." : folderPart.c_str());
        if (folder == nullptr) {
            return nullptr;
        }
        struct stat status {};
        const bool stamped = fstat(dirfd(folder), &status) == 0;
        const FolderStamp stamp = StampOf(status);
        lock = std::unique_lock(mutex_);
        followed_.FollowChanges(kept_);
        FolderNames* kept = stamped ? Find(stamp) : nullptr;
        if (kept == nullptr) {
            kept = &Oldest();
            followed_.Watch(*kept, dirfd(folder));
            ReadInto(folder, stamped, stamp, *kept);
        }
        closedir(folder);
        kept->lastUse = ++uses_;
        return &kept->names;
    }

    void ReadAhead(std::string_view folderPart) { readAhead_.Ask(std::string(folderPart)); }

  private:
    KeptFolders() = default;

    // On the reading thread: reads the folder into the storage of the oldest listing,
    // holding the lock only to take that storage and to give it back. The changes told
    // meanwhile are held for the new reading and followed when it is given back.
    void Read(const std::string& folderPart) {
        DIR* folder = opendir(folderPart.empty() ? "." : folderPart.c_str());
        if (folder == nullptr) {
            return;
        }
        struct stat status {};
        if (fstat(dirfd(folder), &status) == 0) {
            const FolderStamp stamp = StampOf(status);
            std::unique_lock lock(mutex_);
            followed_.FollowChanges(kept_);
            if (Find(stamp) == nullptr) {
                FolderNames fresh;
                std::swap(fresh.names, Oldest().names);
                Oldest().reusable = false;
                followed_.Unwatch(Oldest());
                followed_.Watch(fresh, dirfd(folder));
                followed_.Reading(fresh);
                lock.unlock();
                ReadInto(folder, true, stamp, fresh);
                lock.lock();
                followed_.Keeping(kept_, fresh);
                fresh.lastUse = ++uses_;
                followed_.Unwatch(Oldest());
                Oldest() = std::move(fresh);
            }
        }
        closedir(folder);
    }

    // Reads `folder` (stamped `stamp`) into `kept`. Its watch has begun already, so that no
    // change is missed: one told while reading is followed after it, and following a change
    // the reading saw leaves the names as they are. Stamped before reading, so that a
    // change while reading makes the stamp of an unwatched folder stale.
    void ReadInto(DIR* folder, bool stamped, const FolderStamp& stamp, FolderNames& kept) {
        const bool whole = ReadAllNames(folder, kept.names);
        kept.stamp = stamp;
        kept.reusable = stamped && whole && (kept.watch != FolderWatch::kNone || Settled(stamp));
        if (!kept.reusable) {
            followed_.Unwatch(kept);
        }
    }

    // A watched listing is the folder's while the folder is the same one; an unwatched one
    // while its stamp is the same too.
    FolderNames* Find(const FolderStamp& stamp) {
        for (FolderNames& kept : kept_) {
            const bool sameFolder =
                kept.stamp.device == stamp.device && kept.stamp.inode == stamp.inode;
            if (kept.reusable && sameFolder &&
                (kept.watch != FolderWatch::kNone || kept.stamp == stamp)) {
                return &kept;
            }
        }
        return nullptr;
    }

    FolderNames& Oldest() {
        return *std::min_element(
            kept_.begin(), kept_.end(),
            [](const FolderNames& a, const FolderNames& b) { return a.lastUse < b.lastUse; });
    }

    std::mutex mutex_;
    std::uint64_t uses_ = 0;
    std::array<FolderNames, 3> kept_;
    FollowedListings<FolderNames> followed_{
        [](FolderNames& kept, FolderWatch::Change change, std::string_view name) {
            return Follow(kept.names, change, name);
        },
        [](FolderNames& kept) { kept.reusable = false; }};
    // Last, so that the reading thread stops before the listings it reads into go.
    FolderReadAhead readAhead_{[this](const std::string& folderPart) { Read(folderPart); }};
};

}  // namespace

std::string ListingFolderPart(std::string_view pattern) {
    const std::size_t separator = pattern.rfind('/');
    if (separator == std::string_view::npos) {
        return {};
    }
    return std::string(pattern.substr(0, separator + 1));
}

void ListFolderInto(std::string_view pattern, unsigned attributes,
                    std::vector<std::string>& matches) {
    std::size_t count = 0;
    const std::string folderPart = ListingFolderPart(pattern);
    const std::string_view namePattern = pattern.substr(folderPart.size());
    std::unique_lock<std::mutex> lock;
    const std::vector<std::string>* names =
        namePattern.empty() ? nullptr : KeptFolders::Instance().NamesOf(folderPart, lock);
    if (names != nullptr) {
        // Entries are assigned in place, into the strings the last listing left.
        matches.resize(std::max(matches.size(), names->size()));
        for (const std::string& name : *names) {
            if (MatchesListingPattern(name, namePattern) &&
                IsWanted(folderPart, name, attributes)) {
                matches[count++] = name;
            }
        }
    }
    matches.resize(count);
}

void ReadFolderAhead(std::string_view folderPart) {
    KeptFolders::Instance().ReadAhead(folderPart);
}

}  // namespace tamsel
