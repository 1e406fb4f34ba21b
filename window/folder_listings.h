#pragma once

// Listing a folder by a wildcard pattern and an attribute mask, as completion lists the
// folder a path box names, alike on every platform: names compared without regard to case,
// "*" and "?" as wildcards in the last element, hidden entries and folders offered when the
// mask asks for them. Paths and names are UTF-8. Nothing stays open between calls. The
// platform's part, reading a folder and stamping it, is folder_reading_posix.cpp or
// folder_reading_win32.cpp.

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

// Attribute bits of a listing mask, with the values of the Windows attribute bits. Plain
// files are always listed; an entry with another attribute only when the mask holds it.
enum ListingAttribute : unsigned {
    kListReadOnly = 1,
    kListHidden = 2,  // on POSIX: names that begin with "." (other than "." and "..")
    kListSystem = 4,
    kListFolder = 16,
};

inline constexpr unsigned kListEverything = kListReadOnly | kListHidden | kListSystem | kListFolder;

// The simple Unicode case folding of one code point (one code point each, so "Σ", "σ" and
// "ς" become one); code points without one map to themselves.
char32_t FoldCase(char32_t c);

// Whether `name` matches the last element of a listing pattern. Letters are compared
// after FoldCase; "*" matches any run of characters, "?" exactly one (a whole UTF-8
// sequence); a pattern ending in ".*" also matches names without that dot, so "*.*"
// matches every name and "Li*.*" matches "Li".
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

// The stamp of the folder `folderPart` (a path ending in its separator; the current folder
// when empty); nothing when it names no folder that can be asked. Its time is the later of
// the modification time and the change time: a modification time set back, as unpacking
// an archive sets it, still dates the change.
std::optional<FolderStamp> StampFolder(const std::string& folderPart);

// Every entry of the folder `folderPart` into `entries` (replacing them, their strings
// written over): on POSIX "." and ".." first where the folder has them, then the other
// names in case-insensitive order (letters as capitals, so "_" follows them as on Windows;
// names equal but for case in byte order); on Windows in the file system's own order.
// False when the folder could not be read whole; the entries read so far stay.
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

    // Puts into `names` (replacing its entries, reusing their storage) the names of the
    // entries of ListingFolderPart(pattern) that match the pattern's last element and the
    // mask, in ReadFolder's order. Empty when the listing cannot start (a missing folder, a
    // pattern ending in a separator, an unreadable folder); a reading that fails part-way
    // gives the names read so far and is not kept. Attributes are those the entries had
    // when their folder was read: changing them does not date the folder.
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
