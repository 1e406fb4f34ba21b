#pragma once

// A Chromium-family browser's "Bookmarks" file (Chrome, Edge, Brave, Vivaldi, Opera,
// Chromium): JSON whose "roots" object holds the bookmark bar, the other bookmarks and the
// mobile ones as folders of nodes.

#include <string_view>

#include "convert/bookmark_events.h"
#include "convert/bookmark_store.h"

namespace tamsel {

// The roots' names where a store leaves a root's "name" empty, as the browser shows them.
inline constexpr std::string_view kChromiumBarName = "Bookmarks bar";
inline constexpr std::string_view kChromiumOtherName = "Other bookmarks";
inline constexpr std::string_view kChromiumMobileName = "Mobile bookmarks";

// Reads the whole file `text` and hands its bookmarks to `events`: the roots
// "bookmark_bar", "other" and "synced" in that order, each a folder named by its "name"
// (when empty, by the names above), and within a folder its "children" in their order,
// depth first: a node of "type" "url" is a bookmark of its "name" and "url", one of type
// "folder" a folder of its "name" and children. Everything else is left out: "checksum",
// "meta_info", "sync_metadata" and other members, roots that are missing or no folder,
// nodes of another type or that are no object, a bookmark without a text "url". A
// member of an unexpected type counts as missing (a name that is no text as empty,
// children that are no array as none). Folders may nest to any depth.
//
// Returns Read when `text` is a JSON object with an object "roots"; then its events have
// been delivered, none maybe. Otherwise nothing goes to `events`, and the result is
// Damaged when the text looks like a store (it begins with "{" and holds "\"roots\"") but is
// no valid JSON (cut short, invalid UTF-8 in a text, a number out of range, any other
// fault), OtherVersion when its "roots" is no object, and NotAStore for everything else
// (valid JSON without "roots" at its top included). Never
// throws, except std::bad_alloc when the parsed text does not fit in memory and whatever
// `events` throws.
StoreStatus ReadChromiumStore(std::string_view text, BookmarkEvents& events);

}  // namespace tamsel
