#include "window/store_choices.h"

#include "convert/browser_stores.h"

namespace tamsel {

CompletionEntries StoreChoices(const UserFolders& folders, FileSystem& files) {
    CompletionEntries choices;
    for (const BrowserStore& store : FindBrowserStores(folders, files)) {
        choices.names.push_back(store.path);
        choices.labels.push_back(StoreChoiceText(store));
    }
    return choices;
}

}  // namespace tamsel
