#pragma once

// Listing a folder by a wildcard pattern and an attribute mask, as completion lists the
// folder a path box names, with the same results on every platform: names compared without
// regard to case, "*" and "?" as wildcards in the last element, hidden entries and folders
// offered when the mask asks for them. Paths and names are UTF-8. Everything happens on the
// thread that asks, and nothing stays open between calls.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "support/path.h"
#include "window/folder_reading.h"

namespace tamsel {

// Attribute bits of a listing mask. Plain files are always listed; an entry that carries
// one of the other attributes is listed only when the mask holds that attribute too.
enum ListingAttribute : unsigned {
    kListReadOnly = 1,
    kListHidden = 2,  // on POSIX: names that begin with "." (other than "." and "..")
    kListSystem = 4,
    kListFolder = 16,
};

// Every file, hidden and system files included, and every folder.
inline constexpr unsigned kListEverything = kListReadOnly | kListHidden | kListSystem | kListFolder;

// Whether `name` matches the last element of a listing pattern. Letters are compared
// after Unicode simple case folding (see window/case_fold.h); "*" matches any run of
// characters, "?" exactly one character (a whole UTF-8 sequence); a pattern ending in
// ".*" also matches names without that dot, so "*.*" matches every name and "Li*.*"
// matches "Li". Every other character matches itself.
bool MatchesListingPattern(std::string_view name, std::string_view pattern);

// The listings of the few folders listed last, each kept while its folder stays the same
// folder with the same time of its last change, so that typing on in a large folder does
// not read it again on every key.
class FolderListings {
  public:
    // A folder whose last change is more recent than `settle` is read again on every
    // listing: file systems date changes by a clock that ticks in steps (of 2 seconds on
    // FAT), so a change in the same step as a reading could leave the date as it was.
    explicit FolderListings(std::chrono::milliseconds settle = std::chrono::seconds(2))
        : settle_(settle) {}

    // Puts into `names` (replacing its entries, reusing their storage) the names (without
    // folder) of the entries of ListingFolderPart(pattern) that match the pattern's last
    // element and the attribute mask: on POSIX "." and ".." first where they match, then
    // the other names in case-insensitive order; on Windows the file system's own order.
    // Empty when the listing cannot start (a missing folder, a pattern ending in a
    // separator, a folder that cannot be read); a reading that fails part-way gives the
    // names read so far, and is not kept. An entry's attributes are those it had when its
    // folder was read: changing them does not date the folder.
    void List(std::string_view pattern, unsigned attributes, std::vector<std::string>& names);

  private:
    struct Kept {
        FolderStamp stamp;
        bool current = false;  // whether the entries are the folder's while its stamp stays
        std::uint64_t lastUse = 0;
        std::vector<ListedEntry> entries;
    };

    // The entries of `folderPart`, read now unless kept and current; nullptr when it names
    // no folder.
    const std::vector<ListedEntry>* EntriesOf(const std::string& folderPart);

    std::chrono::milliseconds settle_;
    std::uint64_t uses_ = 0;
    std::array<Kept, 3> kept_;
};

// Puts into `names` (replacing its entries) the names (without folder) of the entries that
// a listing pattern and attribute mask select, in listing order: the contract of
// FolderListings::List.
using FolderLister = std::function<void(std::string_view pattern, unsigned attributes,
                                        std::vector<std::string>& names)>;

// A lister over FolderListings of its own, which live as long as the lister and its copies:
// each path box lists its folders through one.
FolderLister KeepingLister();

}  // namespace tamsel
