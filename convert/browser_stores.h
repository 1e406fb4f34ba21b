#pragma once

// Finding the bookmark stores of the running user's browsers: Chromium-family browsers'
// "Bookmarks" files in their profile folders, and Firefox's places.sqlite in each profile
// that profiles.ini lists.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "convert/bookmark_store.h"
#include "support/file_system.h"
#include "support/known_folders.h"

namespace tamsel {

struct BrowserStore {
    std::string browser;               // "Chrome", "Chrome Beta", "Chromium", "Edge", "Brave", ...
    std::string profile;               // the profile's name as the browser shows it
    std::string path;                  // the store file, UTF-8
    StoreKind kind = StoreKind::None;  // Chromium or Places
    bool isDefault = false;            // Firefox: the profile Firefox opens
};

// The stores found below `folders`, each a file that FileExists accepts, in this order: on
// Linux below $XDG_CONFIG_HOME (else ~/.config) google-chrome, google-chrome-beta, chromium,
// microsoft-edge, BraveSoftware/Brave-Browser, vivaldi and opera, then
// ~/snap/chromium/common/chromium, the same browsers' flatpak folders
// ~/.var/app/<app id>/config/..., and Firefox's ~/.mozilla/firefox,
// ~/snap/firefox/common/.mozilla/firefox and ~/.var/app/org.mozilla.firefox/.mozilla/firefox;
// on Windows %LOCALAPPDATA%'s Google\Chrome, Microsoft\Edge, BraveSoftware\Brave-Browser and
// Vivaldi (each "User Data") and %APPDATA%\Opera Software\Opera Stable. A folder left empty in
// `folders` is not searched. A Chromium user data folder's profiles are "Default" and
// "Profile N" (N digits), named from its "Local State" or else by their folder; Opera keeps
// "Bookmarks" in its folder itself, as profile "Default". Firefox's profiles come in
// ReadFirefoxProfiles' order. Folders missing or unreadable are passed over, as is a store
// found twice. Files are read through `files`; user data folders are listed directly.
std::vector<BrowserStore> FindBrowserStores(const UserFolders& folders,
                                            FileSystem& files = RealFileSystem());

// The number of the store's bookmarks that a run would make links of: those whose address is
// "http" followed by "s" or ":", letter case counting. Nothing when the store could not be
// read (its StoreStatus was not Read).
std::optional<std::size_t> CountWebBookmarks(const BrowserStore& store,
                                             FileSystem& files = RealFileSystem());

// The profile as a list of stores shows it: its name, followed by " (default)" for
// Firefox's default.
std::string StoreProfileText(const BrowserStore& store);

// The store as one line for a choice of stores: browser, ", ", StoreProfileText, " - ",
// path; e.g.
// "Chrome, Default - /home/me/.config/google-chrome/Default/Bookmarks".
std::string StoreChoiceText(const BrowserStore& store);

}  // namespace tamsel
