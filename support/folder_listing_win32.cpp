#include "support/folder_listing.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "support/folder_read_ahead.h"
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

struct KeptListing {
    bool valid = false;
    bool shortNames = false;  // whether the entries carry their short names
    std::string folderPart;
    std::string typed;
    BY_HANDLE_FILE_INFORMATION stamp{};
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

// The folder's identity and times; false when it cannot be opened.
bool StampOf(const std::string& folderPart, BY_HANDLE_FILE_INFORMATION& stamp) {
    const HANDLE folder = CreateFileW(WidenPath(folderPart.empty() ? "." : folderPart).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool known = GetFileInformationByHandle(folder, &stamp) != FALSE;
    CloseHandle(folder);
    return known;
}

bool SameStamp(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow &&
           CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
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

// The kept entries that `typed` (which begins with the kept typed text) selects, or
// nothing when one of them cannot be decided without the system.
std::optional<std::vector<const Listed*>> Narrowed(const KeptListing& kept,
                                                   std::string_view typed) {
    std::vector<const Listed*> selected;
    for (const Listed& entry : kept.entries) {
        const std::optional<bool> byName = BeginsWith(entry.name, typed);
        if (!byName) {
            return std::nullopt;
        }
        if (!*byName && !kept.shortNames) {
            return std::nullopt;  // its short name, not kept, might select it
        }
        if (!*byName && !entry.shortName.empty()) {
            // Selected by its short name alone: whether the system matches short names
            // here is the system's to say.
            const std::optional<bool> byShortName = BeginsWith(entry.shortName, typed);
            if (!byShortName || *byShortName) {
                return std::nullopt;
            }
        }
        if (*byName) {
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
        BY_HANDLE_FILE_INFORMATION stamp{};
        const bool stamped = plain && StampOf(folderPart, stamp);
        const std::lock_guard lock(mutex_);
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
            // Stamped before listing, so that a change while listing makes the stamp stale.
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
    // listing kept is left alone: typing on in it narrows that listing.
    void Read(const std::string& folderPart) {
        BY_HANDLE_FILE_INFORMATION stamp{};
        if (!StampOf(folderPart, stamp)) {
            return;
        }
        {
            const std::lock_guard lock(mutex_);
            if (std::any_of(kept_.begin(), kept_.end(), [&](const KeptListing& kept) {
                    return kept.valid && kept.folderPart == folderPart &&
                           SameStamp(kept.stamp, stamp) && Settled(stamp);
                })) {
                return;
            }
        }
        std::vector<Listed> entries = SystemListing(folderPart + "*.*", true);
        const std::lock_guard lock(mutex_);
        Oldest() = {true, true, folderPart, "", stamp, ++uses_, std::move(entries)};
    }

    // The kept listing that typing on from its typed text to `typed` may narrow, the
    // narrowest if there are more.
    KeptListing* Find(const std::string& folderPart, std::string_view typed,
                      const BY_HANDLE_FILE_INFORMATION& stamp) {
        KeptListing* found = nullptr;
        for (KeptListing& kept : kept_) {
            if (kept.valid && kept.folderPart == folderPart && typed.starts_with(kept.typed) &&
                SameStamp(kept.stamp, stamp) && Settled(stamp) &&
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
    // Last, so that the reading thread stops before the listings it reads into go.
    FolderReadAhead readAhead_{[this](const std::string& folderPart) { Read(folderPart); }};
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
