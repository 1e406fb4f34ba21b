#pragma once

// Listing a folder by a wildcard pattern and an attribute mask, with the same results on
// every platform: names compared without regard to case, "*" and "?" as wildcards in the
// last element, hidden entries and folders offered when the mask asks for them. Paths and
// names are UTF-8. Nothing stays open between calls.

#include <string>
#include <string_view>
#include <vector>

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

// The folder part of a listing pattern as the pattern writes it, ending in its separator:
// up to the last "/" on POSIX, where "\" and "?" are ordinary name characters; up to the
// last "\" or "/" (or the ":" of a drive such as "C:") on Windows. Empty when the pattern
// names an entry of the current folder. A completed path is this part followed by a name
// of the listing, so it always names the folder that was listed.
std::string ListingFolderPart(std::string_view pattern);

// Whether `name` matches the last element of a listing pattern. Letters are compared
// after Unicode simple case folding (see support/case_fold.h); "*" matches
// any run of characters, "?" exactly one character (a whole UTF-8 sequence); a pattern
// ending in ".*" also matches names without that dot, so "*.*" matches every name and
// "Li*.*" matches "Li". Every other character matches itself.
bool MatchesListingPattern(std::string_view name, std::string_view pattern);

// The names (without folder) of the entries of ListingFolderPart(pattern) that match the
// pattern's last element and the attribute mask. On POSIX "." and ".." come first where
// they match, then the other names in case-insensitive order; on Windows the file
// system's own order. Empty when the listing cannot start (a missing folder, a pattern
// ending in a separator, a folder that cannot be read); a listing that fails part-way
// ends with the names read so far. The listings of the few folders read last are kept.
// Where the system tells of every entry that comes to a folder on a local disk or goes
// from it (Linux; Windows on NTFS, while someone types: a watched folder cannot be renamed
// with a folder above it, so the watches end 5 seconds after the last listing), a kept
// listing follows those changes (a few at a time; more, and the folder is read again).
// Elsewhere a folder is read again when its times say that an entry came, went or was
// renamed, or are too recent to tell (on Windows, where the system matches the names
// itself, a kept listing answers only typed text that plain ASCII decides).
std::vector<std::string> ListFolder(std::string_view pattern, unsigned attributes);
// The same listing into `names`, whose entries it replaces. Their storage is reused: a
// completion lists a large folder on every key, and fresh memory costs more than the
// listing itself.
void ListFolderInto(std::string_view pattern, unsigned attributes, std::vector<std::string>& names);

// Reads the folder `folderPart` (a path ending in its separator; the current folder when
// empty) on a thread of its own and keeps its listing, so that the listing that follows
// finds it read: a path box asks for the folder its text names before the key that lists
// it. A listing of that folder while it is being read waits for the reading instead of
// reading it again. Nothing is read for a folder kept and unchanged, or one that cannot
// be opened.
void ReadFolderAhead(std::string_view folderPart);

}  // namespace tamsel
