#pragma once

// Firefox's bookmark store, places.sqlite: an SQLite database that Firefox keeps open in WAL
// mode while it runs, often with an exclusive lock. Read through SQLite where the build has it
// (Linux); the Windows build has none and says so.

#include <string>

#include "convert/bookmark_store.h"

namespace tamsel {

// Reads the store at `path` (UTF-8) into `events`: the roots "menu________", "toolbar_____",
// "unfiled_____" and "mobile______" (by guid) in that order, each a folder named as Firefox
// shows it ("Bookmarks Menu", "Bookmarks Toolbar", "Other Bookmarks", "Mobile Bookmarks"),
// and within a folder its children in "position" order, depth first: a moz_bookmarks row of
// type 1 is a bookmark of its title and moz_places url, one of type 2 a folder of its title.
// Left out: separators, bookmarks without an address, the tags root "tags________" with all in
// it, and every row reached a second time (folders that go round in a circle).
//
// SQLite never opens the live file: it and its "-wal", if any, are copied into a folder of the
// user's alone under the temporary folder and the copy opened read-only, so that neither
// Firefox's lock nor its writing gets in the way and nothing is written beside the store. The
// folder goes when the call returns. A copy that cannot be read, or reads as damaged, is taken
// once more.
//
// Read: the events are delivered. Otherwise none were: NotAStore for a file that is no SQLite
// database or holds neither moz_bookmarks nor moz_places, OtherVersion for one that lacks
// either, a column read here or all four roots, Damaged for one SQLite finds corrupt,
// Unreadable when the store could not be copied or its copy opened (twice each), NotSupported
// in a build without SQLite. Throws only std::bad_alloc and what `events` throws.
StoreStatus ReadPlacesStore(const std::string& path, BookmarkEvents& events);

}  // namespace tamsel
