#pragma once

// Finding the running user's browsers' bookmark stores: the Chromium family's "Bookmarks" in
// each profile folder, and Firefox's places.sqlite in each profile profiles.ini lists.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
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

// The stores found below `folders` (each a file FileExists accepts) in the order of the table
// of locations in browser_stores.cpp: the Chromium family's folders below $XDG_CONFIG_HOME
// (else ~/.config), in snap and flatpak, then Firefox's; on Windows those below %LOCALAPPDATA%
// and %APPDATA%. A folder left empty in `folders` is not searched. A user data folder's
// profiles are "Default" and "Profile N" (N digits), named from its "Local State" or by their
// folder; Opera keeps "Bookmarks" in its folder itself, as profile "Default"; Firefox's come in
// ReadFirefoxProfiles' order. Missing or unreadable folders, and a store found twice, are
// passed over. Files are read through `files`; user data folders are listed directly.
std::vector<BrowserStore> FindBrowserStores(const UserFolders& folders,
                                            FileSystem& files = RealFileSystem());

// How many of the store's bookmarks a run would make links of (IsWebAddress, link_parser.h);
// nothing when the store could not be read.
std::optional<std::size_t> CountWebBookmarks(const BrowserStore& store,
                                             FileSystem& files = RealFileSystem());

// The profile's name, followed by " (default)" for Firefox's default.
std::string StoreProfileText(const BrowserStore& store);

// The store as one line for a choice of stores, e.g.
// "Chrome, Default - /home/me/.config/google-chrome/Default/Bookmarks".
std::string StoreChoiceText(const BrowserStore& store);

struct FirefoxProfile {
    std::string name;        // its Name=, or the last element of its folder when empty
    std::string folder;      // the profile's folder, ending in its separator
    bool isDefault = false;  // the profile Firefox opens
};

// Firefox's list of profiles, profiles.ini: an INI file with a [ProfileN] section per profile
// and, since Firefox 67, an [Install...] section per installation naming the profile it opens.
// Its profiles, the default first, then the others in the file's order; `iniFolder` holds the
// file and ends in its separator. A profile's folder is its Path=, below `iniFolder` unless
// IsRelative=0, "/" written as the platform does. The default is the profile whose Path= the
// first [Install...] section's Default= names, else the first with Default=1, else none.
// Sections without a Path= are left out. Lines end at LF or CR LF; keys and values are trimmed
// of blanks and TABs; lines beginning with ";" or "#" are comments.
std::vector<FirefoxProfile> ReadFirefoxProfiles(std::string_view ini, const std::string& iniFolder);

}  // namespace tamsel
