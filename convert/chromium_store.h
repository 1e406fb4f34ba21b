#pragma once

// A Chromium-family browser's "Bookmarks" file: JSON whose "roots" object holds the bookmark
// bar, the other bookmarks and the mobile ones as folders of nodes.

#include <string_view>

#include "convert/bookmark_store.h"

namespace tamsel {

// Reads the whole file `text` into `events`: the roots "bookmark_bar", "other" and "synced" in
// that order, each a folder named by its "name" (when empty, as the browser shows it:
// "Bookmarks bar", "Other bookmarks", "Mobile bookmarks"), and within a folder its "children"
// in order, depth first: a node of "type" "url" is a bookmark of its "name" and "url", one of
// type "folder" a folder of its "name" and children. All else is left out (other members,
// roots missing or no folder, nodes of another type or no object, a bookmark without a text
// "url"); a member of an unexpected type counts as missing.
//
// Read, the events delivered, when `text` is a JSON object with an object "roots". Otherwise
// none are: Damaged when the text looks like a store (begins with "{", holds "\"roots\"") but
// is no valid JSON, OtherVersion when its "roots" is no object, NotAStore for all else.
// Throws only std::bad_alloc and what `events` throws.
StoreStatus ReadChromiumStore(std::string_view text, BookmarkEvents& events);

}  // namespace tamsel
