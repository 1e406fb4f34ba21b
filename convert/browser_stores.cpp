#include "convert/browser_stores.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <string_view>
#include <tuple>

#include "convert/bookmark_store.h"
#include "convert/chromium_store.h"
#include "convert/link_parser.h"
#include "convert/places_store.h"
#include "support/path.h"
#include "support/text_decoder.h"

namespace tamsel {

namespace {

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> values;

    std::string_view Value(std::string_view key) const {
        const auto found = std::find_if(values.begin(), values.end(),
                                        [&](const auto& value) { return value.first == key; });
        return found == values.end() ? std::string_view() : found->second;
    }
};

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
}

std::vector<Section> Sections(std::string_view ini) {
    ini = WithoutUtf8Mark(ini);
    std::vector<Section> sections;
    while (!ini.empty()) {
        const std::size_t end = std::min(ini.find('\n'), ini.size());
        const std::string_view line = Trimmed(ini.substr(0, end));
        ini.remove_prefix(std::min(end + 1, ini.size()));
        if (line.starts_with('[') && line.ends_with(']')) {
            sections.push_back({std::string(line.substr(1, line.size() - 2)), {}});
        } else if (const std::size_t equals = line.find('=');
                   !sections.empty() && equals != std::string_view::npos &&
                   !line.starts_with(';') && !line.starts_with('#')) {
            sections.back().values.emplace_back(Trimmed(line.substr(0, equals)),
                                                Trimmed(line.substr(equals + 1)));
        }
    }
    return sections;
}

std::string NativeSeparators(std::string_view path) {
    std::string native(path);
    std::replace(native.begin(), native.end(), '/', kNativeSeparator);
    return native;
}

std::string LastElement(const std::string& folder) {
    const std::size_t end = folder.find_last_not_of(kNativeSeparator);
    if (end == std::string::npos) {
        return folder;
    }
    const std::size_t start = folder.find_last_of(kNativeSeparator, end) + 1;  // 0 for none
    return folder.substr(start, end + 1 - start);
}

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
    std::ranges::sort(names, {}, [](const std::string& name) {
        return std::tuple(name != "Default", name.size(), std::string_view(name));
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
    return WithNativeSeparatorAtEnd(WithNativeSeparatorAtEnd(folder) + NativeSeparators(below));
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

    std::vector<BrowserStore> found;

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
        if (std::ranges::find(found, path, &BrowserStore::path) == found.end() &&
            files_.FileExists(path)) {
            found.push_back(
                {std::string(browser), std::move(profile), std::move(path), kind, isDefault});
        }
    }

    FileSystem& files_;
};

class WebBookmarkCount : public BookmarkEvents {
  public:
    void FolderOpened(std::string_view) override {}
    void FolderClosed() override {}
    void Bookmark(std::string_view, std::string_view url) override {
        count += IsWebAddress(url) ? 1 : 0;
    }

    std::size_t count = 0;
};

}  // namespace

std::vector<FirefoxProfile> ReadFirefoxProfiles(std::string_view ini,
                                                const std::string& iniFolder) {
    const std::vector<Section> sections = Sections(ini);
    const auto install = std::find_if(sections.begin(), sections.end(), [](const Section& s) {
        return s.name.starts_with("Install") && !s.Value("Default").empty();
    });
    std::vector<FirefoxProfile> profiles;
    std::vector<std::string_view> paths;
    std::optional<std::size_t> chosen;  // the first Default=1, unless the install names one
    for (const Section& section : sections) {
        const std::string_view path = section.Value("Path");
        if (!section.name.starts_with("Profile") || path.empty()) {
            continue;
        }
        FirefoxProfile profile;
        const bool relative = section.Value("IsRelative") != "0";
        profile.folder = WithNativeSeparatorAtEnd((relative ? iniFolder : std::string()) +
                                                  NativeSeparators(path));
        profile.name = section.Value("Name");
        if (profile.name.empty()) {
            profile.name = LastElement(profile.folder);
        }
        if (!chosen && section.Value("Default") == "1") {
            chosen = profiles.size();
        }
        profiles.push_back(std::move(profile));
        paths.push_back(path);
    }
    if (install != sections.end()) {
        const auto named = std::find(paths.begin(), paths.end(), install->Value("Default"));
        if (named != paths.end()) {
            chosen = static_cast<std::size_t>(named - paths.begin());
        }
    }
    if (chosen) {
        profiles[*chosen].isDefault = true;
        std::rotate(profiles.begin(), profiles.begin() + static_cast<std::ptrdiff_t>(*chosen),
                    profiles.begin() + static_cast<std::ptrdiff_t>(*chosen) + 1);
    }
    return profiles;
}

std::vector<BrowserStore> FindBrowserStores(const UserFolders& folders, FileSystem& files) {
    Search search(files);
    for (const Location& location : kLocations) {
        const std::string base = BaseFolder(folders, location.base);
        if (!base.empty()) {
            search.Look(location, Below(base, location.below));
        }
    }
    return std::move(search.found);
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
