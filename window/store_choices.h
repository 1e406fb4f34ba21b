#pragma once

// The browsers' bookmark stores that the list's box offers in its own drop-down while it is
// empty: each row shows the store (StoreChoiceText), and choosing one puts its path into
// the box.

#include <functional>

#include "support/file_system.h"
#include "support/user_folders.h"
#include "window/path_completion.h"

namespace tamsel {

// Where the running user's folders come from; tests hand in a fake home folder.
using UserFoldersSource = std::function<UserFolders()>;

// The stores FindBrowserStores finds below `folders`, in its order, as list entries: each
// entry is a store's path, labelled with its StoreChoiceText.
CompletionEntries StoreChoices(const UserFolders& folders, FileSystem& files = RealFileSystem());

}  // namespace tamsel
