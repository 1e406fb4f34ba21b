#include "convert/browser_stores.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/path.h"
#include "support/text.h"
#include "test_support/temp_folder.h"

namespace tamsel {
namespace {

using test::TempFolder;

// A path as the test writes it, "/" between its elements, in the platform's spelling.
std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '/', kNativeSeparator);
    return path;
}

struct ProfilesCase {
    const char* what;
    std::string ini;
    std::vector<FirefoxProfile> profiles;
};

TEST(ReadFirefoxProfiles, ListsEveryProfileWithTheDefaultFirst) {
    const std::string f = Native("/ff/");
    const std::vector<ProfilesCase> cases{
        {"an installation's default over the old mark",
         "[Install4F96D1932A9F858E]\nDefault=Profiles/b.default-release\nLocked=1\n\n"
         "[Profile1]\nName=default\nIsRelative=1\nPath=Profiles/a.default\nDefault=1\n\n"
         "[Profile0]\nName=default-release\nIsRelative=1\nPath=Profiles/b.default-release\n\n"
         "[General]\nStartWithLastProfile=1\nVersion=2\n",
         {{"default-release", f + Native("Profiles/b.default-release/"), true},
          {"default", f + Native("Profiles/a.default/"), false}}},
        {"the old mark without an installation",
         "\xef\xbb\xbf[General]\r\nStartWithLastProfile=1\r\n\r\n"
         "[Profile0]\r\nName = first \r\nIsRelative=1\r\nPath=a.first\r\n"
         "[Profile1]\r\n; a comment\r\n#Default=1\r\nName=second\r\nIsRelative=1\r\n"
         "Path=b.second\r\nDefault=1\r\n",
         {{"second", f + Native("b.second/"), true}, {"first", f + Native("a.first/"), false}}},
        {"an installation naming no profile listed",
         "[Install1]\nDefault=gone\n[Profile0]\nName=a\nPath=a\n[Profile1]\nName=b\nPath=b\n"
         "Default=1\n",
         {{"b", f + "b" + kNativeSeparator, true}, {"a", f + "a" + kNativeSeparator, false}}},
        {"no default, an absolute path, no name, no path",
         "[Profile0]\nName=abs\nIsRelative=0\nPath=/home/me/elsewhere/p\n"
         "[Profile1]\nIsRelative=1\nPath=x.unnamed\n[Profile2]\nName=pathless\n",
         {{"abs", Native("/home/me/elsewhere/p/"), false},
          {"x.unnamed", f + Native("x.unnamed/"), false}}},
        {"no profiles", "[General]\nVersion=2\n", {}},
        {"no INI at all", std::string("\0\xff[Profile", 10), {}},
    };
    for (const ProfilesCase& c : cases) {
        const std::vector<FirefoxProfile> profiles = ReadFirefoxProfiles(c.ini, f);
        ASSERT_EQ(profiles.size(), c.profiles.size()) << c.what;
        for (std::size_t i = 0; i < profiles.size(); ++i) {
            EXPECT_EQ(profiles[i].name, c.profiles[i].name) << c.what;
            EXPECT_EQ(profiles[i].folder, c.profiles[i].folder) << c.what;
            EXPECT_EQ(profiles[i].isDefault, c.profiles[i].isDefault) << c.what;
        }
    }
}

constexpr std::string_view kStore =
    R"json({"roots": {"bookmark_bar": {"type": "folder", "name": "", "children": [
    {"type": "url", "name": "A", "url": "https://a/"},
    {"type": "url", "name": "B", "url": "http://b/"},
    {"type": "folder", "name": "F", "children": [
        {"type": "url", "name": "J", "url": "javascript:void(0)"},
        {"type": "url", "name": "C", "url": "https://c/"}]}]}}})json";

// Browsers and profiles of every layout, among folders that look like them and are not.
void MakeHome(const TempFolder& temp) {
    const std::string store(kStore);
    temp.write("home/.config/google-chrome/Local State",
               R"({"profile": {"info_cache": {"Default": {"name": "Person 1"},
                   "Profile 10": {"name": "Work"}, "Profile 3": {"name": "No store"},
                   "Profile 2": {"name": ""}}}})");
    for (const char* profile : {"Default", "Profile 2", "Profile 10", "Guest Profile",
                                "System Profile", "Profile x", "Profile", "Profile 1a"}) {
        temp.write("home/.config/google-chrome/" + std::string(profile) + "/Bookmarks", store);
    }
    temp.write("home/.config/google-chrome/Profile 3/Preferences", "{}");
    temp.write("home/.config/chromium", "a file where a folder goes");
    temp.write("home/.config/microsoft-edge/Default", "a file where a folder goes");
    temp.write("home/.config/BraveSoftware/Brave-Browser/Local State", "{broken");
    temp.write("home/.config/BraveSoftware/Brave-Browser/Default/Bookmarks", "{damaged");
    temp.write("home/.config/vivaldi/Default/Bookmarks", "");  // empty: no store
    temp.write("home/.config/opera/Bookmarks", store);
    temp.write("home/snap/chromium/common/chromium/Default/Bookmarks", store);
    temp.write(
        "home/.var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser/Profile 1/"
        "Bookmarks",
        store);
    temp.write("home/.mozilla/firefox/profiles.ini",
               "[Install4F96D1932A9F858E]\nDefault=b.default-release\n"
               "[Profile0]\nName=default\nIsRelative=1\nPath=a.default\nDefault=1\n"
               "[Profile1]\nName=default-release\nIsRelative=1\nPath=b.default-release\n"
               "[Profile2]\nName=new\nIsRelative=1\nPath=c.new\n");
    temp.write("home/.mozilla/firefox/a.default/places.sqlite", "db");
    temp.write("home/.mozilla/firefox/b.default-release/places.sqlite", "db");
    temp.write("home/.mozilla/firefox/c.new/times.json", "{}");
    temp.write("home/snap/firefox/common/.mozilla/firefox/profiles.ini",
               "[Profile0]\nName=snap\nIsRelative=1\nPath=s.snap\n"
               "[Profile1]\nName=elsewhere\nIsRelative=0\nPath=" +
                   temp.path("elsewhere/e") + "\n");
    temp.write("home/snap/firefox/common/.mozilla/firefox/s.snap/places.sqlite", "db");
    temp.write("elsewhere/e/places.sqlite", "db");
    temp.write("config/google-chrome/Default/Bookmarks", store);
    temp.write("local/Google/Chrome/User Data/Profile 1/Bookmarks", store);
    temp.write("local/Vivaldi/User Data/Default/Bookmarks", store);
    temp.write("roaming/Opera Software/Opera Stable/Bookmarks", store);
}

struct SearchCase {
    const char* what;
    UserFolders folders;               // relative to the test's folder
    std::vector<std::string> choices;  // StoreChoiceText, paths relative to the test's folder
};

TEST(FindBrowserStores, FindsEveryProfileOfEveryBrowserInOrder) {
    TempFolder temp;
    MakeHome(temp);
    // What the home folder holds outside its configuration folder.
    const std::vector<std::string> outsideConfig{
        "Chromium, Default - home/snap/chromium/common/chromium/Default/Bookmarks",
        "Brave, Profile 1 - home/.var/app/com.brave.Browser/config/BraveSoftware/"
        "Brave-Browser/Profile 1/Bookmarks",
        "Firefox, default-release (default) - "
        "home/.mozilla/firefox/b.default-release/places.sqlite",
        "Firefox, default - home/.mozilla/firefox/a.default/places.sqlite",
        "Firefox, snap - home/snap/firefox/common/.mozilla/firefox/s.snap/places.sqlite",
        "Firefox, elsewhere - elsewhere/e/places.sqlite"};
    const auto then = [&outsideConfig](std::vector<std::string> inConfig) {
        inConfig.insert(inConfig.end(), outsideConfig.begin(), outsideConfig.end());
        return inConfig;
    };
    const std::vector<SearchCase> cases{
        {"Linux",
         {"home", "", "", ""},
         then({"Chrome, Person 1 - home/.config/google-chrome/Default/Bookmarks",
               "Chrome, Profile 2 - home/.config/google-chrome/Profile 2/Bookmarks",
               "Chrome, Work - home/.config/google-chrome/Profile 10/Bookmarks",
               "Brave, Default - home/.config/BraveSoftware/Brave-Browser/Default/Bookmarks",
               "Opera, Default - home/.config/opera/Bookmarks"})},
        {"Linux with XDG_CONFIG_HOME",
         {"home", "config", "", ""},
         then({"Chrome, Default - config/google-chrome/Default/Bookmarks"})},
        {"Windows",
         {"", "", "local", "roaming"},
         {"Chrome, Profile 1 - local/Google/Chrome/User Data/Profile 1/Bookmarks",
          "Vivaldi, Default - local/Vivaldi/User Data/Default/Bookmarks",
          "Opera, Default - roaming/Opera Software/Opera Stable/Bookmarks"}},
        {"nothing there", {"nowhere", "", "nowhere", "nowhere"}, {}},
    };
    for (const SearchCase& c : cases) {
        const auto inTemp = [&temp](const std::string& folder) {
            return folder.empty() ? folder : temp.path(folder);
        };
        const UserFolders folders{inTemp(c.folders.home), inTemp(c.folders.configHome),
                                  inTemp(c.folders.localAppData), inTemp(c.folders.appData)};
        std::vector<std::string> choices;
        for (const BrowserStore& store : FindBrowserStores(folders)) {
            std::string choice = StoreChoiceText(store);
            std::replace(choice.begin(), choice.end(), '\\', '/');
            choices.push_back(ReplaceText(choice, temp.folder(), ""));
        }
        EXPECT_EQ(choices, c.choices) << c.what;
    }
}

TEST(CountWebBookmarks, CountsWhatARunWouldMakeLinksOf) {
    TempFolder temp;
    MakeHome(temp);
    const std::vector<BrowserStore> stores = FindBrowserStores({temp.path("home"), "", "", ""});
    ASSERT_GE(stores.size(), 4u);
    EXPECT_EQ(CountWebBookmarks(stores[0]), 3u);
    EXPECT_EQ(stores[3].browser, "Brave");
    EXPECT_EQ(CountWebBookmarks(stores[3]), std::nullopt);  // damaged
}

}  // namespace
}  // namespace tamsel
