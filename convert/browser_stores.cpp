#include "convert/browser_stores.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <string_view>

#include "convert/bookmark_store.h"
#include "convert/chromium_store.h"
#include "convert/firefox_profiles.h"
#include "convert/places_store.h"
#include "support/path.h"

namespace tamsel {

namespace {

// "Default", or "Profile " and digits.
bool IsProfileFolder(std::string_view name) {
    constexpr std::string_view kPrefix = "Profile ";
    const std::string_view digits = name.substr(std::min(name.size(), kPrefix.size()));
    return name == "Default" || (name.starts_with(kPrefix) && !digits.empty() &&
                                 digits.find_first_not_of("0123456789") == std::string_view::npos);
}

// The profile folders in a user data folder, as the browser lists them: "Default" first,
// then "Profile N" by N; none when the folder cannot be read.
std::vector<std::string> ProfileFolders(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entry(std::u8string(folder.begin(), folder.end()), error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::u8string name = entry->path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
    }
    std::erase_if(names, [](const std::string& name) { return !IsProfileFolder(name); });
    // N by its digits' count, then by the digits: numbers of any length sort right.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        if (a == "Default" || b == "Default") {
            return a == "Default" && b != "Default";
        }
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return names;
}

// The profiles' names by folder name, from the text of a "Local State" file: each member
// of "profile" / "info_cache" whose "name" is a non-empty text; none for other text.
std::map<std::string, std::string> ChromiumProfileNames(std::string_view localState) {
    using Json = nlohmann::json;
    std::map<std::string, std::string> names;
    const Json state = Json::parse(localState.begin(), localState.end(), nullptr, false);
    const Json* cache = &state;
    for (const char* key : {"profile", "info_cache"}) {
        const auto found = cache->find(key);  // end() for a value that is no object
        if (found == cache->end() || !found->is_object()) {
            return names;
        }
        cache = &*found;
    }
    for (const auto& [folder, info] : cache->items()) {
        const auto name = info.find("name");
        if (name != info.end() && name->is_string() &&
            !name->get_ref<const std::string&>().empty()) {
            names.emplace(folder, name->get_ref<const std::string&>());
        }
    }
    return names;
}

// The user folders a location may lie below.
constexpr auto kHome = &UserFolders::home;
constexpr auto kConfigHome = &UserFolders::configHome;  // without one, ~/.config
constexpr auto kLocalAppData = &UserFolders::localAppData;
constexpr auto kAppData = &UserFolders::appData;

enum class Layout {
    UserData,         // profile folders, each with its "Bookmarks"
    OwnFolder,        // "Bookmarks" in the folder itself
    FirefoxProfiles,  // profiles.ini and the profiles it lists
};

struct Location {
    std::string UserFolders::*base;
    std::string_view below;  // "/" between elements, whatever the platform's separator
    std::string_view browser;
    Layout layout;
};

constexpr std::array<Location, 22> kLocations{{
    {kConfigHome, "google-chrome", "Chrome", Layout::UserData},
    {kConfigHome, "google-chrome-beta", "Chrome Beta", Layout::UserData},
    {kConfigHome, "chromium", "Chromium", Layout::UserData},
    {kConfigHome, "microsoft-edge", "Edge", Layout::UserData},
    {kConfigHome, "BraveSoftware/Brave-Browser", "Brave", Layout::UserData},
    {kConfigHome, "vivaldi", "Vivaldi", Layout::UserData},
    {kConfigHome, "opera", "Opera", Layout::OwnFolder},
    {kHome, "snap/chromium/common/chromium", "Chromium", Layout::UserData},
    {kHome, ".var/app/com.google.Chrome/config/google-chrome", "Chrome", Layout::UserData},
    {kHome, ".var/app/org.chromium.Chromium/config/chromium", "Chromium", Layout::UserData},
    {kHome, ".var/app/com.microsoft.Edge/config/microsoft-edge", "Edge", Layout::UserData},
    {kHome, ".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser", "Brave",
     Layout::UserData},
    {kHome, ".var/app/com.vivaldi.Vivaldi/config/vivaldi", "Vivaldi", Layout::UserData},
    {kHome, ".var/app/com.opera.Opera/config/opera", "Opera", Layout::OwnFolder},
    {kHome, ".mozilla/firefox", "Firefox", Layout::FirefoxProfiles},
    {kHome, "snap/firefox/common/.mozilla/firefox", "Firefox", Layout::FirefoxProfiles},
    {kHome, ".var/app/org.mozilla.firefox/.mozilla/firefox", "Firefox", Layout::FirefoxProfiles},
    {kLocalAppData, "Google/Chrome/User Data", "Chrome", Layout::UserData},
    {kLocalAppData, "Microsoft/Edge/User Data", "Edge", Layout::UserData},
    {kLocalAppData, "BraveSoftware/Brave-Browser/User Data", "Brave", Layout::UserData},
    {kLocalAppData, "Vivaldi/User Data", "Vivaldi", Layout::UserData},
    {kAppData, "Opera Software/Opera Stable", "Opera", Layout::OwnFolder},
}};

constexpr std::string_view kChromiumStoreName = "Bookmarks";
constexpr std::string_view kPlacesStoreName = "places.sqlite";

// `folder` followed by `below`, ending in a separator; "/" in `below` become the platform's.
std::string Below(const std::string& folder, std::string_view below) {
    std::string path = WithNativeSeparatorAtEnd(folder);
    for (const char c : below) {
        path += c == '/' ? kNativeSeparator : c;
    }
    return WithNativeSeparatorAtEnd(std::move(path));
}

// The folder a location lies in; empty when `folders` leaves it out.
std::string BaseFolder(const UserFolders& folders, std::string UserFolders::*base) {
    if (base == kConfigHome && folders.configHome.empty()) {
        return folders.home.empty() ? std::string() : Below(folders.home, ".config");
    }
    return folders.*base;
}

class Search {
  public:
    explicit Search(FileSystem& files) : files_(files) {}

    void Look(const Location& location, const std::string& folder) {
        switch (location.layout) {
            case Layout::UserData:
                LookInUserData(location.browser, folder);
                break;
            case Layout::OwnFolder:
                Add(location.browser, "Default", folder + std::string(kChromiumStoreName),
                    StoreKind::Chromium);
                break;
            case Layout::FirefoxProfiles:
                LookInFirefoxProfiles(location.browser, folder);
                break;
        }
    }

    std::vector<BrowserStore> Found() && { return std::move(found_); }

  private:
    void LookInUserData(std::string_view browser, const std::string& folder) {
        const std::vector<std::string> profiles = ProfileFolders(folder);
        if (profiles.empty()) {
            return;
        }
        const std::optional<std::string> state = files_.ReadWhole(folder + "Local State");
        const std::map<std::string, std::string> names =
            state ? ChromiumProfileNames(*state) : std::map<std::string, std::string>();
        for (const std::string& profile : profiles) {
            const auto name = names.find(profile);
            Add(browser, name != names.end() ? name->second : profile,
                Below(folder, profile) + std::string(kChromiumStoreName), StoreKind::Chromium);
        }
    }

    void LookInFirefoxProfiles(std::string_view browser, const std::string& folder) {
        const std::optional<std::string> ini = files_.ReadWhole(folder + "profiles.ini");
        if (!ini) {
            return;
        }
        for (const FirefoxProfile& profile : ReadFirefoxProfiles(*ini, folder)) {
            Add(browser, profile.name, profile.folder + std::string(kPlacesStoreName),
                StoreKind::Places, profile.isDefault);
        }
    }

    void Add(std::string_view browser, std::string profile, std::string path, StoreKind kind,
             bool isDefault = false) {
        const bool known = std::any_of(found_.begin(), found_.end(),
                                       [&path](const BrowserStore& s) { return s.path == path; });
        if (!known && files_.FileExists(path)) {
            found_.push_back(
                {std::string(browser), std::move(profile), std::move(path), kind, isDefault});
        }
    }

    FileSystem& files_;
    std::vector<BrowserStore> found_;
};

// Whether a run makes a link of a bookmark's address: "http" followed by "s" or ":", letter
// case counting, as for a bookmark line of an export.
bool IsWebBookmarkAddress(std::string_view url) {
    return url.size() >= 5 && url.starts_with("http") && (url[4] == 's' || url[4] == ':');
}

class WebBookmarkCount : public BookmarkEvents {
  public:
    void FolderOpened(std::string_view) override {}
    void FolderClosed() override {}
    void Bookmark(std::string_view, std::string_view url) override {
        count += IsWebBookmarkAddress(url) ? 1 : 0;
    }

    std::size_t count = 0;
};

}  // namespace

std::vector<BrowserStore> FindBrowserStores(const UserFolders& folders, FileSystem& files) {
    Search search(files);
    for (const Location& location : kLocations) {
        const std::string base = BaseFolder(folders, location.base);
        if (!base.empty()) {
            search.Look(location, Below(base, location.below));
        }
    }
    return std::move(search).Found();
}

std::optional<std::size_t> CountWebBookmarks(const BrowserStore& store, FileSystem& files) {
    WebBookmarkCount counted;
    StoreStatus status = StoreStatus::Unreadable;
    if (store.kind == StoreKind::Places) {
        status = ReadPlacesStore(store.path, counted);
    } else if (const std::optional<std::string> text = files.ReadWhole(store.path)) {
        status = ReadChromiumStore(*text, counted);
    }
    return status == StoreStatus::Read ? std::optional(counted.count) : std::nullopt;
}

std::string StoreProfileText(const BrowserStore& store) {
    return store.isDefault ? store.profile + " (default)" : store.profile;
}

std::string StoreChoiceText(const BrowserStore& store) {
    return store.browser + ", " + StoreProfileText(store) + " - " + store.path;
}

}  // namespace tamsel
