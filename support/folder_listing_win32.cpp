#include "support/folder_listing.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/folder_read_ahead.h"
#include "support/folder_watch.h"
#include "support/followed_listings.h"
#include "support/utf16.h"
#include "support/utf8_path.h"

namespace tamsel {

namespace {

bool IsWanted(DWORD fileAttributes, unsigned attributes) {
    // The listing's bits carry the same values as the system's attribute bits.
    DWORD special =
        fileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY);
    return (special & ~static_cast<DWORD>(attributes)) == 0;
}

// What the system listed for `typed` followed by "*.*", kept so that typing on in an
// unchanged folder narrows it instead of asking the system for every name again.
struct Listed {
    std::string name;
    std::string shortName;  // the 8.3 name the system also matches, empty for none
    DWORD attributes;
};

// A watched listing follows the changes the system tells and is the folder's while the
// folder is the same one; an unwatched one is trusted while the folder's stamp stays.
struct KeptListing {
    bool valid = false;
    bool shortNames = false;  // whether the entries carry their short names
    std::string folderPart;
    std::string typed;
    BY_HANDLE_FILE_INFORMATION stamp{};
    int watch = FolderWatch::kNone;
    int changesFollowed = 0;  // since the last listing
    std::uint64_t lastUse = 0;
    std::vector<Listed> entries;
};

// Typed text whose listing the kept one may answer: letters, digits, "-" and "_" only, for
// which the system's matching of "typed*.*" is a plain case-blind ASCII prefix: no wildcard,
// no dot (the system's old wildcard rules let "a.*.*" match "a" too), no character whose
// case the system folds by a table of its own.
bool IsPlainTyped(std::string_view typed) {
    return std::all_of(typed.begin(), typed.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_';
    });
}

// Whether `name` begins with `typed` ignoring ASCII case; nothing when that cannot be told
// without the system's own case table (a non-ASCII byte where `typed` is compared).
std::optional<bool> BeginsWith(std::string_view name, std::string_view typed) {
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (i >= name.size()) {
            return false;
        }
        const auto c = static_cast<unsigned char>(name[i]);
        const auto t = static_cast<unsigned char>(typed[i]);
        if (c >= 0x80) {
            return std::nullopt;
        }
        const bool letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
        if (letter ? (c | 0x20) != (t | 0x20) : c != t) {
            return false;
        }
    }
    return true;
}

// A folder opened for its identity and times, and for watching its entries.
class OpenFolder {
  public:
    explicit OpenFolder(const std::string& folderPart)
        : handle_(CreateFileW(
              WidenPath(folderPart.empty() ? "." : folderPart).c_str(), FILE_LIST_DIRECTORY,
              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr)) {}
    ~OpenFolder() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    // False when it could not be opened or asked.
    bool Stamp(BY_HANDLE_FILE_INFORMATION& stamp) const {
        return handle_ != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle_, &stamp);
    }
    HANDLE Handle() const { return handle_; }

  private:
    HANDLE handle_;
};

bool SameFolder(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

bool SameStamp(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return SameFolder(a, b) && CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

// Adding, removing or renaming an entry changes the folder's write time, but a change in
// the same tick as the last listing may leave it as it was: a folder written in the last
// 2 seconds is asked again every time.
bool Settled(const BY_HANDLE_FILE_INFORMATION& stamp) {
    constexpr ULONGLONG kSettle = 2ULL * 10'000'000;  // in the file times' 100 ns
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return ticks(stamp.ftLastWriteTime) + kSettle < ticks(now);
}

// Whether the system's listing of `typed` followed by "*.*" holds `entry`; nothing when
// that is the system's to say. `shortNameKnown` tells whether the entry carries its short
// name.
std::optional<bool> Selects(const Listed& entry, std::string_view typed, bool shortNameKnown) {
    const std::optional<bool> byName = BeginsWith(entry.name, typed);
    if (!byName || *byName) {
        return byName;
    }
    if (!shortNameKnown) {
        return std::nullopt;  // its short name might select it
    }
    if (entry.shortName.empty()) {
        return false;
    }
    // Selected by its short name alone: whether the system matches short names here is the
    // system's to say.
    const std::optional<bool> byShortName = BeginsWith(entry.shortName, typed);
    if (!byShortName || *byShortName) {
        return std::nullopt;
    }
    return false;
}

// The kept entries that `typed` (which begins with the kept typed text) selects, or
// nothing when one of them cannot be decided without the system.
std::optional<std::vector<const Listed*>> Narrowed(const KeptListing& kept,
                                                   std::string_view typed) {
    std::vector<const Listed*> selected;
    for (const Listed& entry : kept.entries) {
        const std::optional<bool> selects = Selects(entry, typed, kept.shortNames);
        if (!selects) {
            return std::nullopt;
        }
        if (*selects) {
            selected.push_back(&entry);
        }
    }
    return selected;
}

// Asks the system for `pattern`, every entry whatever its attributes; with their short
// names only when asked, which costs wine a name of its own making for every entry.
std::vector<Listed> SystemListing(std::string_view pattern, bool shortNames) {
    std::vector<Listed> entries;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(WidenPath(pattern).c_str(),
                                   shortNames ? FindExInfoStandard : FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        return entries;
    }
    do {
        entries.push_back(
            {Narrow(data.cFileName), Narrow(data.cAlternateFileName), data.dwFileAttributes});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return entries;
}

// The order NTFS lists a folder in, and wine too: "." and ".." first, then the names
// compared in capitals, one UTF-16 unit after the other.
bool ListedBefore(std::string_view a, std::string_view b) {
    const std::wstring x = Widen(a);
    const std::wstring y = Widen(b);
    return CompareStringOrdinal(x.data(), static_cast<int>(x.size()), y.data(),
                                static_cast<int>(y.size()), TRUE) == CSTR_LESS_THAN;
}

std::vector<Listed>::iterator PlaceOf(std::vector<Listed>& entries, std::string_view name) {
    auto first = entries.begin();
    while (first != entries.end() && (first->name == "." || first->name == "..")) {
        ++first;
    }
    return std::lower_bound(
        first, entries.end(), name,
        [](const Listed& entry, std::string_view n) { return ListedBefore(entry.name, n); });
}

// The entry `name` of the folder as the system lists it; nothing when it is gone.
std::optional<Listed> EntryNamed(const std::string& folderPart, std::string_view name,
                                 bool shortName) {
    std::vector<Listed> found = SystemListing(folderPart + std::string(name), shortName);
    if (found.size() != 1) {
        return std::nullopt;
    }
    return std::move(found.front());
}

// Brings `kept` up to one told change; false for a change it cannot follow. A change told
// twice, or one the listing saw already, leaves the entries as once.
bool Follow(KeptListing& kept, FolderWatch::Change change, std::string_view name) {
    if (change == FolderWatch::Change::kLost) {
        return false;
    }
    auto place = PlaceOf(kept.entries, name);
    if (place == kept.entries.end() || place->name != name) {
        place = std::find_if(kept.entries.begin(), kept.entries.end(),
                             [&](const Listed& entry) { return entry.name == name; });
    }
    if (place != kept.entries.end()) {
        kept.entries.erase(place);
    } else if (change == FolderWatch::Change::kRemoved) {
        // An entry may be told by its short name ("ENTRY0~1.TXT"), which finds nothing here.
        return name.find('~') == std::string_view::npos;
    }
    if (change == FolderWatch::Change::kRemoved) {
        return true;
    }
    const bool shortName = kept.shortNames || !kept.typed.empty();
    std::optional<Listed> entry = EntryNamed(kept.folderPart, name, shortName);
    if (!entry) {
        return true;  // gone again, which is told too
    }
    const std::optional<bool> selected = Selects(*entry, kept.typed, shortName);
    if (entry->name != name || !selected) {
        return false;  // told by its short name, or the system's to decide
    }
    if (!kept.shortNames) {
        entry->shortName.clear();
    }
    if (*selected) {
        kept.entries.insert(PlaceOf(kept.entries, entry->name), std::move(*entry));
    }
    return true;
}

// A watch keeps its folder, and every folder above it, from being renamed: the watches let
// go this long after the last listing, and the listings go by the folders' times again.
constexpr std::chrono::seconds kWatchWhileTyping{5};

// The listings of the few folders asked for last, shared by every thread: the folder a
// path box is in, the one its text names (read ahead), and one more.
class KeptListings {
  public:
    static KeptListings& Instance() {
        static KeptListings instance;
        return instance;
    }

    // The system matches the names itself, with its own case rules, and keeps its own
    // order. Typing on in a folder that has not changed narrows a kept listing where plain
    // case-blind ASCII decides every entry exactly as the system would.
    void List(std::string_view pattern, unsigned attributes, std::vector<std::string>& names) {
        names.clear();
        const std::string folderPart = ListingFolderPart(pattern);
        const std::string_view namePattern = pattern.substr(folderPart.size());
        const bool plain = namePattern.ends_with("*.*") &&
                           IsPlainTyped(namePattern.substr(0, namePattern.size() - 3));
        const std::string_view typed = plain ? namePattern.substr(0, namePattern.size() - 3) : "";
        readAhead_.Settle(folderPart);
        const OpenFolder folder(folderPart);
        BY_HANDLE_FILE_INFORMATION stamp{};
        // Stamped before listing, so that a change while listing makes the stamp stale.
        const bool stamped = plain && folder.Stamp(stamp);
        const std::lock_guard lock(mutex_);
        followed_.FollowChanges(kept_);
        KeptListing* kept = stamped ? Find(folderPart, typed, stamp) : nullptr;
        std::optional<std::vector<const Listed*>> selected;
        if (kept != nullptr) {
            selected = Narrowed(*kept, typed);
        }
        if (!selected) {
            // Typing on could not narrow here: the listing that replaces the kept one
            // carries the short names, which the next narrowing may need.
            const bool shortNames = kept != nullptr;
            kept = kept != nullptr ? kept : &Oldest();
            if (stamped) {
                followed_.Watch(*kept, folder.Handle());
            } else {
                followed_.Unwatch(*kept);
            }
            kept->entries = SystemListing(pattern, shortNames);
            kept->shortNames = shortNames;
            kept->valid = stamped;
            kept->folderPart = folderPart;
            kept->typed = typed;
            kept->stamp = stamp;
            selected.emplace();
            for (const Listed& entry : kept->entries) {
                selected->push_back(&entry);
            }
        }
        // A listing that cannot be kept goes first when another is kept.
        kept->lastUse = kept->valid ? ++uses_ : 0;
        for (const Listed* entry : *selected) {
            if (IsWanted(entry->attributes, attributes)) {
                names.push_back(entry->name);
            }
        }
    }

    void ReadAhead(std::string_view folderPart) { readAhead_.Ask(std::string(folderPart)); }

  private:
    KeptListings() = default;

    // On the reading thread: the whole folder with the short names, so that any plain
    // typed text narrows it; the lock is held only to look and to keep. A folder with a
    // listing kept is left alone: typing on in it narrows that listing. The changes told
    // while it is read are held for the new listing and followed when it is kept.
    void Read(const std::string& folderPart) {
        const OpenFolder folder(folderPart);
        BY_HANDLE_FILE_INFORMATION stamp{};
        if (!folder.Stamp(stamp)) {
            return;
        }
        std::unique_lock lock(mutex_);
        followed_.FollowChanges(kept_);
        if (std::any_of(kept_.begin(), kept_.end(), [&](const KeptListing& kept) {
                return kept.folderPart == folderPart && Current(kept, stamp);
            })) {
            return;
        }
        KeptListing fresh;
        fresh.valid = true;
        fresh.shortNames = true;
        fresh.folderPart = folderPart;
        fresh.stamp = stamp;
        followed_.Watch(fresh, folder.Handle());
        followed_.Reading(fresh);
        lock.unlock();
        fresh.entries = SystemListing(folderPart + "*.*", true);
        lock.lock();
        followed_.Keeping(kept_, fresh);
        fresh.lastUse = fresh.valid ? ++uses_ : 0;
        followed_.Unwatch(Oldest());
        Oldest() = std::move(fresh);
    }

    // Nobody has typed for a while: every watch lets go of its folder.
    void LetGo() {
        const std::lock_guard lock(mutex_);
        followed_.FollowChanges(kept_);
        for (KeptListing& kept : kept_) {
            followed_.Unwatch(kept);
        }
    }

    // Whether `kept` is the listing of the folder stamped `stamp`: a watched one while the
    // folder is the same one, an unwatched one while its stamp is the same too.
    static bool Current(const KeptListing& kept, const BY_HANDLE_FILE_INFORMATION& stamp) {
        return kept.valid &&
               (kept.watch != FolderWatch::kNone ? SameFolder(kept.stamp, stamp)
                                                 : SameStamp(kept.stamp, stamp) && Settled(stamp));
    }

    // The kept listing that typing on from its typed text to `typed` may narrow, the
    // narrowest if there are more.
    KeptListing* Find(const std::string& folderPart, std::string_view typed,
                      const BY_HANDLE_FILE_INFORMATION& stamp) {
        KeptListing* found = nullptr;
        for (KeptListing& kept : kept_) {
            if (kept.folderPart == folderPart && typed.starts_with(kept.typed) &&
                Current(kept, stamp) &&
                (found == nullptr || kept.typed.size() > found->typed.size())) {
                found = &kept;
            }
        }
        return found;
    }

    KeptListing& Oldest() {
        return *std::min_element(
            kept_.begin(), kept_.end(),
            [](const KeptListing& a, const KeptListing& b) { return a.lastUse < b.lastUse; });
    }

    std::mutex mutex_;
    std::uint64_t uses_ = 0;
    std::array<KeptListing, 3> kept_;
    FollowedListings<KeptListing> followed_{Follow, [](KeptListing& kept) { kept.valid = false; }};
    // Last, so that the reading thread stops before the listings it reads into go.
    FolderReadAhead readAhead_{[this](const std::string& folderPart) { Read(folderPart); },
                               [this] { LetGo(); }, kWatchWhileTyping};
};

}  // namespace

std::string ListingFolderPart(std::string_view pattern) {
    std::size_t separator = pattern.find_last_of("\\/");
    if (separator == std::string_view::npos && pattern.size() >= 2 && pattern[1] == ':') {
        separator = 1;  // "C:name" lists the drive's current folder
    }
    if (separator == std::string_view::npos) {
        return {};
    }
    return std::string(pattern.substr(0, separator + 1));
}

void ListFolderInto(std::string_view pattern, unsigned attributes,
                    std::vector<std::string>& names) {
    KeptListings::Instance().List(pattern, attributes, names);
}

void ReadFolderAhead(std::string_view folderPart) {
    KeptListings::Instance().ReadAhead(folderPart);
}

}  // namespace tamsel
