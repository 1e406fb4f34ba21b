// The built tamsel-convert binary, run as a user runs it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_support/temp_folder.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tamsel {
namespace {

using test::ReadFixture;
using test::TempFolder;

struct Result {
    int exitCode = -1;
    std::string out;
    std::string err;
};

#ifdef _WIN32

// The console writes its line ends as CR LF.
std::string WithLfLineEnds(std::string text) {
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    return text;
}

// Runs the binary with `arguments` (already quoted for cmd.exe) in `temp`, behind `before`
// (commands ending in "&& ").
Result RunCommand(const TempFolder& temp, const std::string& arguments,
                  const std::string& before = "") {
    // Made absolute before the command changes the drive.
    const std::string binary = test::ToUtf8(std::filesystem::absolute(TAMSEL_CONVERT_BINARY));
    const std::string command = "cd /d \"" + temp.root().string() + "\" && " + before + "\"" +
                                binary + "\" " + arguments + " >stdout.txt 2>stderr.txt";
    Result result;
    result.exitCode = std::system(command.c_str());
    result.out = WithLfLineEnds(temp.read("stdout.txt"));
    result.err = WithLfLineEnds(temp.read("stderr.txt"));
    return result;
}

#else

// Runs the binary with `arguments` (already quoted for the shell) in `temp`, behind
// `before` (variables to set, a program that runs it, each followed by a blank).
Result RunCommand(const TempFolder& temp, const std::string& arguments,
                  const std::string& before = "") {
    const std::string command = "cd '" + temp.root().string() + "' && " + before +
                                "'" TAMSEL_CONVERT_BINARY "' " + arguments +
                                " >stdout.txt 2>stderr.txt";
    const int status = std::system(command.c_str());
    Result result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = temp.read("stdout.txt");
    result.err = temp.read("stderr.txt");
    return result;
}

#endif

class TamselConvert : public testing::Test {
  protected:
    void SetUp() override {
        temp.copyFixture("lists/handwritten-crlf.txt", "url.txt");
        temp.copyFixture("menu/Links.xml", "x/FEATURES/Links.xml");
        temp.write("x/IMAGES/network.png", "png");
    }
    TempFolder temp;
};

TEST_F(TamselConvert, ConvertsWithTheTemplatesBesideTheProgram) {
    const Result result = RunCommand(temp, "url.txt x/FEATURES/Links.xml");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Done\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(temp.read("x/FEATURES/Links.xml.bak"), ReadFixture("menu/Links.xml"));
    EXPECT_NE(temp.read("x/FEATURES/Links.xml").find("https://rail.example.com/departures"),
              std::string::npos);
}

TEST_F(TamselConvert, AppFolderWithoutSeparatorIsUsed) {
    temp.write("tpl/item_template_query.txt", "Q[#LINKID#]\r\n");
    temp.write("tpl/item_template_image.txt", "I[#LINKID#]");
    temp.write("tpl/item_template_noimage.txt", "N[#LINKID#]");
    const Result result = RunCommand(temp, "--app-folder tpl url.txt x/FEATURES/Links.xml");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(temp.read("x/FEATURES/Links.xml").find("Q[TrainTimes]"), std::string::npos);
}

TEST_F(TamselConvert, InputProblemExitsWithOneAndTheMessage) {
    const Result list = RunCommand(temp, "missing.txt x/FEATURES/Links.xml");
    EXPECT_EQ(list.exitCode, 1);
    EXPECT_EQ(list.out, "");
    EXPECT_EQ(list.err, "Please enter a TXT file or a Firefox Bookmarks.html.\n");

    const Result templates = RunCommand(temp, "--app-folder x url.txt x/FEATURES/Links.xml");
    EXPECT_EQ(templates.exitCode, 1);
    EXPECT_EQ(templates.err, "Missing item_template_query.txt\n");

    temp.write("empty.html", "<DL><p>\n</DL><p>\n");
    const Result noLinks = RunCommand(temp, "empty.html x/FEATURES/Links.xml");
    EXPECT_EQ(noLinks.exitCode, 1);
    EXPECT_EQ(noLinks.err, "No links were found in the list.\n");
    EXPECT_FALSE(temp.exists("x/FEATURES/Links.xml.bak"));
}

TEST_F(TamselConvert, BackupProblemExitsWithTwo) {
    temp.write("x/FEATURES/Links.xml.bak/in-the-way", "a folder where the backup goes");
    const Result result = RunCommand(temp, "url.txt x/FEATURES/Links.xml");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "ERROR: Could not create a backup of the Links.xml\n");
    EXPECT_EQ(temp.read("x/FEATURES/Links.xml"), ReadFixture("menu/Links.xml"));
}

TEST_F(TamselConvert, DryRunTellsWhatARunWouldDoAndWritesNothing) {
    temp.write("list.txt",
               "A\r\nhttp://1/\r\nA\r\nhttp://2/\r\nHome;The start page\r\nhttp://localhost/");
    const std::string menu = temp.read("x/FEATURES/Links.xml");
    const Result preview = RunCommand(temp, "--dry-run list.txt x/FEATURES/Links.xml");
    EXPECT_EQ(preview.exitCode, 0) << preview.err;
    EXPECT_EQ(preview.out,
              "add\tA\tA\thttp://1/\nadd\tA_2\tA\thttp://2/\nskip\tHome\tHome\thttp://localhost/\n"
              "Done\n\nLinks already in the menu, not added again: 1 of 3.\n");
    EXPECT_EQ(temp.read("x/FEATURES/Links.xml"), menu);
    for (const char* left : {".bak", ".lock", ".tmp", ".bak.tmp"}) {
        EXPECT_FALSE(temp.exists(std::string("x/FEATURES/Links.xml") + left)) << left;
    }

    const Result run = RunCommand(temp, "list.txt x/FEATURES/Links.xml");
    EXPECT_EQ(run.out, "Done\n\nLinks already in the menu, not added again: 1 of 3.\n");
    const Result again = RunCommand(temp, "--dry-run list.txt x/FEATURES/Links.xml");
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out,
              "skip\tA\tA\thttp://1/\nskip\tA\tA\thttp://2/\nskip\tHome\tHome\thttp://localhost/\n"
              "All links of the list are in the menu already.\n");
    const Result rerun = RunCommand(temp, "list.txt x/FEATURES/Links.xml");
    EXPECT_EQ(rerun.exitCode, 0);
    EXPECT_EQ(rerun.out, "All links of the list are in the menu already.\n");
    EXPECT_EQ(temp.read("x/FEATURES/Links.xml.bak"), menu);

    const Result missing = RunCommand(temp, "--dry-run list.txt x/none/Links.xml");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Please enter the Links.xml.\n");
}

// A restore puts the backup back and keeps the menu it replaces as the backup, so that a
// second restore undoes the first; without a backup it changes nothing at all.
TEST_F(TamselConvert, RestoreSwapsMenuAndBackupAndNeedsABackup) {
    const std::string original = ReadFixture("menu/Links.xml");
    const Result none = RunCommand(temp, "--restore x/FEATURES/Links.xml");
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err, "ERROR: There is no Links.xml.bak to restore\n");
    EXPECT_EQ(temp.read("x/FEATURES/Links.xml"), original);
    EXPECT_FALSE(temp.exists("x/FEATURES/Links.xml.bak"));
    EXPECT_FALSE(temp.exists("x/FEATURES/Links.xml.lock"));

    ASSERT_EQ(RunCommand(temp, "url.txt x/FEATURES/Links.xml").exitCode, 0);
    const std::string converted = temp.read("x/FEATURES/Links.xml");
    for (const bool undo : {false, true}) {
        const Result restore = RunCommand(temp, "--restore x/FEATURES/Links.xml");
        EXPECT_EQ(restore.exitCode, 0) << restore.err;
        EXPECT_EQ(restore.out, "Done\n");
        EXPECT_EQ(temp.read("x/FEATURES/Links.xml"), undo ? converted : original);
        EXPECT_EQ(temp.read("x/FEATURES/Links.xml.bak"), undo ? original : converted);
        EXPECT_FALSE(temp.exists("x/FEATURES/Links.xml.tmp"));
        EXPECT_FALSE(temp.exists("x/FEATURES/Links.xml.bak.tmp"));
    }
}

#ifdef _WIN32
// The user's folders at `local` and `roaming` in `temp`, as cmd.exe sets them.
std::string UserFoldersIn(const TempFolder& temp, const std::string& local,
                          const std::string& roaming) {
    return "set LOCALAPPDATA=" + temp.root().string() + "\\" + local +
           "&& set APPDATA=" + temp.root().string() + "\\" + roaming + "&& ";
}
#else
// The user's home at `home` in `temp`, as the shell sets it.
std::string UserFoldersIn(const TempFolder& temp, const std::string& home) {
    return "HOME='" + temp.path(home) + "' XDG_CONFIG_HOME= ";
}
#endif

// A readable store with its number of web bookmarks, a damaged one with "?".
TEST_F(TamselConvert, BrowsersListsEveryStoreWithItsCount) {
    const std::string store =
        R"json({"roots": {"other": {"type": "folder", "children": [
        {"type": "url", "name": "A", "url": "https://a/"},
        {"type": "url", "name": "J", "url": "javascript:void(0)"}]}}})json";
#ifdef _WIN32
    const std::string chrome = "local/Google/Chrome/User Data/Default/Bookmarks";
    const std::string opera = "roaming/Opera Software/Opera Stable/Bookmarks";
    const std::string folders = UserFoldersIn(temp, "local", "roaming");
    const std::string empty = UserFoldersIn(temp, "none", "none");
    const auto shown = [this](std::string path) {
        std::replace(path.begin(), path.end(), '/', '\\');
        return temp.root().string() + "\\" + path;
    };
#else
    const std::string chrome = "home/.config/google-chrome/Default/Bookmarks";
    const std::string opera = "home/.config/opera/Bookmarks";
    const std::string folders = UserFoldersIn(temp, "home");
    const std::string empty = UserFoldersIn(temp, "none");
    const auto shown = [this](const std::string& path) { return temp.path(path); };
#endif
    temp.write(chrome, store);
    temp.write(opera, R"({"roots": {"other": )");

    const Result found = RunCommand(temp, "--browsers", folders);
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(found.out, "Chrome\tDefault\t1\t" + shown(chrome) + "\nOpera\tDefault\t?\t" +
                             shown(opera) + "\n");
    EXPECT_EQ(found.err, "");

    const Result none = RunCommand(temp, "--browsers", empty);
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "No bookmarks of a browser were found for this user.\n");
}

#ifndef _WIN32
// Profiles another user's permissions keep this one from reading are passed over. Root
// reads everything, so the command runs as nobody.
TEST_F(TamselConvert, BrowsersPassesOverProfilesItCannotRead) {
    if (getuid() != 0 || std::system("command -v setpriv >/dev/null") != 0) {
        GTEST_SKIP() << "needs root and setpriv to run as another user";
    }
    namespace fs = std::filesystem;
    const std::string store = R"({"roots": {"other": {"type": "folder"}}})";
    temp.write("home/.config/chromium/Default/Bookmarks", store);
    temp.write("home/.config/chromium/Profile 1/Bookmarks", store);
    temp.write("home/.config/vivaldi/Default/Bookmarks", store);
    temp.write("home/.mozilla/firefox/profiles.ini", "[Profile0]\nName=locked\nPath=l\n");
    temp.write("home/.mozilla/firefox/l/places.sqlite", "db");
    for (const auto& entry : fs::recursive_directory_iterator(temp.root())) {
        fs::permissions(entry, entry.is_directory() ? fs::perms(0755) : fs::perms(0644));
    }
    fs::permissions(temp.root(), fs::perms(0755));
    for (const char* locked :
         {"home/.config/chromium/Default", "home/.config/vivaldi", "home/.mozilla/firefox/l"}) {
        fs::permissions(temp.root() / locked, fs::perms::owner_all);
    }

    const Result result = RunCommand(
        temp, "--browsers",
        UserFoldersIn(temp, "home") + "setpriv --reuid=65534 --regid=65534 --clear-groups ");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Chromium\tProfile 1\t0\t" +
                              temp.path("home/.config/chromium/Profile 1/Bookmarks") + "\n");
}
#endif

// With the menu gone, a restore puts the backup back as the menu, with the backup's
// permissions, and keeps it as the backup too: there is no other menu to keep.
TEST_F(TamselConvert, RestoreWithTheMenuGonePutsTheBackupBack) {
    const std::string original = ReadFixture("menu/Links.xml");
    ASSERT_EQ(RunCommand(temp, "url.txt x/FEATURES/Links.xml").exitCode, 0);
    std::filesystem::remove(temp.path("x/FEATURES/Links.xml"));
#ifndef _WIN32
    const auto mode = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                      std::filesystem::perms::group_read;
    std::filesystem::permissions(temp.path("x/FEATURES/Links.xml.bak"), mode);
#endif
    const Result restore = RunCommand(temp, "--restore x/FEATURES/Links.xml");
    EXPECT_EQ(restore.exitCode, 0) << restore.err;
    EXPECT_EQ(restore.out, "Done\n");
    EXPECT_EQ(temp.read("x/FEATURES/Links.xml"), original);
    EXPECT_EQ(temp.read("x/FEATURES/Links.xml.bak"), original);
    EXPECT_FALSE(temp.exists("x/FEATURES/Links.xml.tmp"));
#ifndef _WIN32
    EXPECT_EQ(std::filesystem::status(temp.path("x/FEATURES/Links.xml")).permissions(), mode);
#endif
}

TEST_F(TamselConvert, HelpAndUsageErrors) {
    const Result help = RunCommand(temp, "--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(
        help.out.starts_with("Usage: tamsel-convert [--dry-run] [--app-folder DIR] [--folder PATH] "
                             "LIST MENU\n"));
    EXPECT_EQ(help.err, "");

    const Result usage = RunCommand(temp, "url.txt");
    EXPECT_EQ(usage.exitCode, 64);
    EXPECT_EQ(usage.out, "");
    EXPECT_NE(usage.err.find("Usage: tamsel-convert"), std::string::npos);
}

// A browser's store as the list: its folders listed, one of them previewed and converted, and
// a folder it lacks, or a list without folders, refused with nothing changed.
TEST_F(TamselConvert, FoldersOfAStoreAreListedAndOneIsConverted) {
    temp.write("Bookmarks", R"({"roots": {
        "bookmark_bar": {"type": "folder", "name": "", "children": [
            {"type": "url", "name": "Bar link", "url": "https://bar.example/"},
            {"type": "folder", "name": "News/Daily", "children": [
                {"type": "url", "name": "Paper", "url": "https://paper.example/"}]}]},
        "other": {"type": "folder", "name": "Other bookmarks", "children": []}}})");
    const Result folders = RunCommand(temp, "--folders Bookmarks");
    EXPECT_EQ(folders.exitCode, 0) << folders.err;
    EXPECT_EQ(folders.out, "Bookmarks bar\t2\nBookmarks bar/News\\/Daily\t1\nOther bookmarks\t0\n");

    const Result preview = RunCommand(
        temp, "--dry-run --folder \"bookmarks bar/news\\/daily\" Bookmarks x/FEATURES/Links.xml");
    EXPECT_EQ(preview.exitCode, 0) << preview.err;
    EXPECT_EQ(preview.out, "add\tPaper\tPaper\thttps://paper.example/\nDone\n");

    const Result run =
        RunCommand(temp, "--folder=\"Bookmarks bar\" Bookmarks x/FEATURES/Links.xml");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(temp.read("x/FEATURES/Links.xml").find("https://bar.example/"), std::string::npos);

    const std::string menu = temp.read("x/FEATURES/Links.xml");
    const Result missing = RunCommand(temp, "--folder News Bookmarks x/FEATURES/Links.xml");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "The folder \"News\" was not found in the list.\n");
    const Result plain = RunCommand(temp, "--folder News url.txt x/FEATURES/Links.xml");
    EXPECT_EQ(plain.exitCode, 1);
    EXPECT_EQ(plain.err, "The list has no folders, so the folder \"News\" cannot be chosen.\n");
    EXPECT_EQ(temp.read("x/FEATURES/Links.xml"), menu);

    const Result none = RunCommand(temp, "--folders url.txt");
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "The list has no folders.\n");
    const Result unreadable = RunCommand(temp, "--folders missing.txt");
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_EQ(unreadable.err, "Please enter a TXT file or a Firefox Bookmarks.html.\n");
}

}  // namespace
}  // namespace tamsel
