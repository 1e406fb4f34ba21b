#pragma once

// `tamsel-convert --browsers`: the bookmark stores of the user's browsers, as text.

#include <iosfwd>

#include "support/file_system.h"
#include "support/user_folders.h"

namespace tamsel {

// Writes to `out` one line per store that FindBrowserStores finds below `folders`, in its
// order: the browser, TAB, the profile (StoreProfileText), TAB, the number of its web
// bookmarks (CountWebBookmarks; "?" when the store could not be read), TAB, the path. With
// no store found, a line saying so goes to `err` instead. Returns the exit status,
// kExitDone.
int ListBrowserStores(const UserFolders& folders, std::ostream& out, std::ostream& err,
                      FileSystem& files);

}  // namespace tamsel
