#pragma once

// Listing a folder by a wildcard pattern and an attribute mask, as completion lists the
// folder a path box names, alike on every platform: names compared without regard to case,
// "*" and "?" in the last element. Paths and names are UTF-8; nothing stays open between
// calls. Reading and stamping a folder is folder_reading_posix.cpp's or _win32.cpp's.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/path.h"

namespace tamsel {

// A listing mask's bits, the Windows attribute bits' values. Plain files are always
// listed; an entry with another attribute only when the mask holds it.
enum ListingAttribute : unsigned {
    kListReadOnly = 1,
    kListHidden = 2,  // on POSIX: names that begin with "." (other than "." and "..")
    kListSystem = 4,
    kListFolder = 16,
};

inline constexpr unsigned kListEverything = kListReadOnly | kListHidden | kListSystem | kListFolder;

// The simple Unicode case folding of one code point ("Σ", "σ" and "ς" become one); code
// points without one map to themselves.
char32_t FoldCase(char32_t c);

// Whether `name` matches a listing pattern's last element: letters compared after
// FoldCase, "*" any run of characters, "?" exactly one; a pattern ending in ".*" also
// matches names without that dot ("*.*" matches every name, "Li*.*" matches "Li").
bool MatchesListingPattern(std::string_view name, std::string_view pattern);

// What identifies a folder's list of names: adding, removing or renaming an entry dates
// the folder's last change.
struct FolderStamp {
    std::uint64_t volume = 0;  // the device (POSIX) or the volume's serial number (Windows)
    std::uint64_t file = 0;    // the folder's number there
    std::chrono::system_clock::time_point changed;

    bool operator==(const FolderStamp&) const = default;
};

// An entry as read: its name and its ListingAttribute bits.
struct ListedEntry {
    std::string name;
    unsigned attributes = 0;
};

// The stamp of the folder `folderPart` (ending in its separator; empty: the current
// folder), nothing for no folder. Its time is the later of the modification and change
// times: a modification time set back, as unpacking an archive does, still dates it.
std::optional<FolderStamp> StampFolder(const std::string& folderPart);

// Every entry of the folder `folderPart` into `entries`, their strings written over: on
// POSIX "." and ".." first, then the others in case-insensitive order (letters as
// capitals, so "_" follows them as on Windows; names equal but for case in byte order); on
// Windows in the file system's order. False when not read whole; what was read stays.
bool ReadFolder(const std::string& folderPart, std::vector<ListedEntry>& entries);

// The listings of the few folders listed last, each kept while its folder keeps its stamp,
// so that typing on in a large folder does not read it again on every key.
class FolderListings {
  public:
    // A folder changed within `settle` is read again on every listing: file systems date
    // changes by a clock that ticks in steps (2 seconds on FAT), so a change in the same
    // step as a reading could leave the date as it was.
    explicit FolderListings(std::chrono::milliseconds settle = std::chrono::seconds(2))
        : settle_(settle) {}

    // Puts into `names` (reusing their storage) the entries of ListingFolderPart(pattern)
    // that match the pattern's last element and the mask, in ReadFolder's order. Empty for
    // a missing or unreadable folder or a pattern ending in a separator; a reading that
    // fails part-way gives what it read and is not kept. Attributes are those read with
    // the folder: changing them does not date it.
    void List(std::string_view pattern, unsigned attributes, std::vector<std::string>& names);

  private:
    struct Kept {
        FolderStamp stamp;
        bool current = false;  // whether the entries are the folder's while its stamp stays
        std::uint64_t lastUse = 0;
        std::vector<ListedEntry> entries;
    };

    // Read now unless kept and current; nullptr when `folderPart` names no folder.
    const std::vector<ListedEntry>* EntriesOf(const std::string& folderPart);

    std::chrono::milliseconds settle_;
    std::uint64_t uses_ = 0;
    std::array<Kept, 3> kept_;
};

// FolderListings::List as a function; tests hand in listings of their own.
using FolderLister = std::function<void(std::string_view pattern, unsigned attributes,
                                        std::vector<std::string>& names)>;

// A lister over FolderListings of its own, shared by its copies: one per path box.
FolderLister KeepingLister();

}  // namespace tamsel
