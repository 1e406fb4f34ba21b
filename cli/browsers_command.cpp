#include "cli/browsers_command.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "convert/browser_stores.h"

namespace tamsel {

int ListBrowserStores(const UserFolders& folders, std::ostream& out, std::ostream& err,
                      FileSystem& files) {
    const std::vector<BrowserStore> stores = FindBrowserStores(folders, files);
    if (stores.empty()) {
        err << "No bookmarks of a browser were found for this user.\n";
    }
    for (const BrowserStore& store : stores) {
        const std::optional<std::size_t> count = CountWebBookmarks(store, files);
        out << store.browser << '\t' << StoreProfileText(store) << '\t'
            << (count ? std::to_string(*count) : "?") << '\t' << store.path << '\n';
    }
    return kExitDone;
}

}  // namespace tamsel
