// Inputs no one meant to give the program, each run end to end on real files: the run must
// end with a clear outcome, never touch a file other than the menu file and its backup, and
// never lose the previous menu.

#include <gtest/gtest.h>
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "convert/backup_restore.h"
#include "convert/conversion_run.h"
#include "memory_file_system.h"
#include "support/utf16.h"
#include "test_support/forwarding_folder.h"
#include "test_support/other_run_lock.h"
#include "test_support/plain_file_system.h"
#include "test_support/temp_folder.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kQuery = "<Q k=\"#LINKID#\"/>\r\n";
constexpr const char* kImage =
    "<V k=\"#LINKID#\" t=\"#LINKTITLE#\" i=\"#LINKIMG#\" u=\"#LINKURL#\"/>";
constexpr const char* kNoImage = "<V k=\"#LINKID#\" t=\"#LINKTITLE#\" u=\"#LINKURL#\"/>";
constexpr const char* kListMessage = "Please enter a TXT file or a Firefox Bookmarks.html.";
constexpr const char* kNoLinksMessage = "No links were found in the list.";

// Every file under `root` (links as links) with its bytes.
std::map<std::string, std::string> Tree(const fs::path& root) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = ToUtf8(fs::relative(entry.path(), root));
        if (entry.is_symlink()) {
            tree[name] = "-> " + ToUtf8(fs::read_symlink(entry.path()));
        } else if (entry.is_regular_file()) {
            tree[name] = ReadFileBytes(entry.path());
        } else {
            tree[name] = "(folder)";
        }
    }
    return tree;
}

class HostileInput : public testing::Test {
  protected:
    // Lays out app/ (templates), <menuFolder>/FEATURES/Links.xml and <menuFolder>/IMAGES/.
    void Arrange(const std::string& menuFolder = "m") {
        menu = menuFolder + "/FEATURES/Links.xml";
        temp.write("app/item_template_query.txt", kQuery);
        temp.write("app/item_template_image.txt", kImage);
        temp.write("app/item_template_noimage.txt", kNoImage);
        temp.write(menuFolder + "/IMAGES/network.png", "png");
        temp.copyFixture("menu/Links.xml", menu);
        previous = temp.read(menu);
    }
    void SetUp() override { Arrange(); }

    RunPaths Paths(const std::string& list = "list.txt") const {
        return {temp.path(list), temp.path(menu), temp.path("app") + "/"};
    }

    // What a run on the in-memory file system makes of the same list and menu.
    std::string Expected(const std::string& list) const {
        MemoryFileSystem files;
        for (const char* name :
             {"item_template_query.txt", "item_template_image.txt", "item_template_noimage.txt"}) {
            files.AddFile(std::string("/app/") + name, temp.read(std::string("app/") + name));
        }
        files.AddFile("/m/IMAGES/network.png", "png");
        files.AddFile("/m/FEATURES/Links.xml", previous);
        files.AddFile("/list.txt", list);
        const RunOutcome outcome =
            RunConversion({"/list.txt", "/m/FEATURES/Links.xml", "/app/"}, files);
        return outcome.status == RunStatus::Done ? files.Volatile("/m/FEATURES/Links.xml").bytes
                                                 : previous;
    }

    // Runs on `list` and checks that the run touched nothing but the menu file and its
    // backup: either "Done" with the new menu and the old one as backup, or a failure
    // with a message and the menu as it was.
    RunOutcome ConvertChecked(const std::string& list) {
        temp.write("list.txt", list);
        std::map<std::string, std::string> before = Tree(temp.root());
        const RunOutcome outcome = RunConversion(Paths());
        std::map<std::string, std::string> after = Tree(temp.root());
        EXPECT_FALSE(outcome.message.empty());
        if (outcome.status == RunStatus::Done) {
            EXPECT_EQ(after[menu], Expected(list));
            EXPECT_EQ(after[menu + ".bak"], previous);
            before.erase(menu + ".bak");
        } else {
            EXPECT_EQ(after[menu], previous);
        }
        before.erase(menu);
        after.erase(menu);
        after.erase(menu + ".bak");
        after.erase(menu + ".lock");  // the lock file may stay
        EXPECT_EQ(after, before) << "files other than the menu and its backup changed";
        return outcome;
    }

    TempFolder temp;
    std::string menu;
    std::string previous;
};

std::string RandomBytes(std::size_t size) {
    std::mt19937 random(4242);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random() & 0xff);
    }
    return bytes;
}

struct ListCase {
    const char* name;
    std::string list;
    std::vector<std::string> inMenu;  // byte strings the new menu must hold
    std::string message = "Done";
    friend void PrintTo(const ListCase& listCase, std::ostream* out) { *out << listCase.name; }
};

class HostileList : public HostileInput, public testing::WithParamInterface<ListCase> {};

TEST_P(HostileList, EndsCleanlyAndKeepsThePreviousMenu) {
    const RunOutcome outcome = ConvertChecked(GetParam().list);
    EXPECT_EQ(outcome.message, GetParam().message);
    for (const std::string& bytes : GetParam().inMenu) {
        EXPECT_NE(temp.read(menu).find(bytes), std::string::npos) << bytes;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, HostileList,
    testing::Values(
        ListCase{"BinaryFile", RandomBytes(256 * 1024), {}, kNoLinksMessage},
        ListCase{"NulBytes",
                 std::string("Ti\0tle;in\0fo\r\nhttps://nul.example/\0x\r\n", 39),
                 {"k=\"Ti\xEF\xBF\xBDtle\"", "u=\"https://nul.example/\xEF\xBF\xBDx\""}},
        // Not UTF-8 and no charset: read as windows-1252.
        ListCase{"InvalidUtf8",
                 "\xc3( Caf\xe9;\xff\xfe\r\nhttps://bad.example/\xc0\xaf\r\n",
                 {"k=\"\xC3\x83(Caf\xC3\xA9\"", "u=\"https://bad.example/\xC3\x80\xC2\xAF\""}},
        // The byte-order mark is not part of the first line.
        ListCase{
            "ByteOrderMark", "\xef\xbb\xbfTitle\r\nhttps://bom.example/\r\n", {"<Q k=\"Title\"/>"}},
        ListCase{"OnlyMarkup",
                 "<html>\r\n<body>\r\n<p>Hello</p>\r\n</body>\r\n</html>\r\n",
                 {},
                 kNoLinksMessage},
        ListCase{"TitlesThatLookLikePaths",
                 "../../outside;up\r\nhttps://a.example/\r\nsub/dir\\name\r\nhttps://b.example/\r\n"
                 "..\r\nhttps://c.example/\r\n",
                 {"k=\"../../outside\"", "k=\"sub/dir\\name\"", "k=\"..\""}},
        // A placeholder in a value is filled again by a later field; a long value there
        // once asked for room many times the output's size.
        ListCase{"PlaceholderInALongTitle",
                 "#LINKTITLE#" + std::string(700000, 'a') + "\r\nhttps://e.example/\r\n",
                 {"u=\"https://e.example/\""}},
        ListCase{"PlaceholderTitleWithALongAddress",
                 "#LINKURL#\r\nhttps://e.example/" + std::string(4 << 20, 'b') + "\r\n",
                 {"u=\"https://e.example/bbb"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostileInput, SingleLineOf50MegabytesEndsCleanly) {
    std::string list(50 * 1024 * 1024, 'x');
    list.replace(0, 6, "Title ");
    temp.write("list.txt", list);
    list.clear();
    const RunOutcome outcome = RunConversion(Paths());
    // A title without an address gives no link.
    EXPECT_EQ(outcome.message, kNoLinksMessage);
    EXPECT_EQ(temp.read(menu), previous);
    EXPECT_FALSE(temp.exists(menu + ".bak"));
}

TEST_F(HostileInput, TitleThatClimbsOutOfTheIconFolderFindsNoIconThere) {
    temp.write("m/secret.png", "not an icon");
    const RunOutcome outcome = ConvertChecked("../secret\r\nhttps://s.example/\r\n");
    EXPECT_EQ(outcome.status, RunStatus::Done);
    EXPECT_NE(temp.read(menu).find("<V k=\"../secret\" t=\"../secret\" u=\"https://s.example/\"/>"),
              std::string::npos);
}

TEST_F(HostileInput, MenuWithTagsOnlyInsideCommentsIsSplicedTextually) {
    previous =
        "<?xml version=\"1.0\"?>\r\n<!--\r\n<Items>\r\n</Items>\r\n<Items>\r\n</Items>\r\n"
        "</XMBML>\r\n-->\r\n";
    temp.write(menu, previous);
    const RunOutcome outcome = ConvertChecked("One\r\nhttps://one.example/\r\n");
    // The splice reads no XML: the entries land before the commented-out tags, and the
    // previous menu stays whole in the backup.
    EXPECT_EQ(outcome.status, RunStatus::Done);
    EXPECT_NE(temp.read(menu).find("<Q k=\"One\"/>\r\n</Items>"), std::string::npos);
}

TEST_F(HostileInput, ListAndMenuBeingTheSameFile) {
    const RunOutcome outcome = RunConversion(Paths(menu));
    // Every line of the menu is markup, so no link is found.
    EXPECT_EQ(outcome.message, kNoLinksMessage);
    EXPECT_EQ(temp.read(menu), previous);
    EXPECT_FALSE(temp.exists(menu + ".bak"));
}

TEST_F(HostileInput, ImagesFolderThatIsAFileIsReportedMissing) {
    fs::remove_all(temp.path("m/IMAGES"));
    temp.write("m/IMAGES", "a file, not a folder");
    const RunOutcome outcome = ConvertChecked("One\r\nhttps://one.example/\r\n");
    EXPECT_EQ(outcome.status, RunStatus::InputError);
    EXPECT_EQ(outcome.message, "Missing " + temp.path("m/IMAGES/network.png"));
}

TEST_F(HostileInput, ListThatIsNoFileIsAskedFor) {
    fs::create_directory(temp.path("folder.txt"));
    for (const std::string& list : {temp.path("folder.txt"), std::string("/dev/zero"),
                                    std::string("/dev/null"), temp.path("missing.txt")}) {
        RunPaths paths = Paths();
        paths.listPath = list;
        const RunOutcome outcome = RunConversion(paths);
        EXPECT_EQ(outcome.status, RunStatus::InputError) << list;
        EXPECT_EQ(outcome.message, kListMessage) << list;
        EXPECT_EQ(outcome.focusBox, RunInput::List) << list;
    }
    EXPECT_EQ(temp.read(menu), previous);
    EXPECT_FALSE(temp.exists(menu + ".bak"));
}

TEST_F(HostileInput, PathsWithBlanksAccentsQuestionMarksAndHashes) {
#ifdef _WIN32
    // No Windows name holds "?"; one outside the ANSI code page ("\u03a9") is the hazard there.
    const std::string folder =
        "my menus/\xc3\x9cml\xc3\xa4ut/a\xce\xa9"
        "b#c";
    const std::string list = "l\xce\xa9st #1.txt";
#else
    const std::string folder = "my menus/\xc3\x9cml\xc3\xa4ut/a?b#c";
    const std::string list = "l?st #1.txt";
#endif
    Arrange(folder);
    temp.write(folder + "/IMAGES/One.png", "png");
    temp.write(list, "One\r\nhttps://one.example/?q=1#top\r\n");
    const RunOutcome outcome = RunConversion(Paths(list));
    ASSERT_EQ(outcome.status, RunStatus::Done) << outcome.message;
    EXPECT_EQ(outcome.folderToOpen, temp.path(folder + "/FEATURES") + "/");
    EXPECT_EQ(temp.read(menu + ".bak"), previous);
    // The link's own icon is found in the IMAGES folder beside the menu's folder.
    EXPECT_NE(temp.read(menu).find("i=\"One.png\" u=\"https://one.example/?q=1#top\""),
              std::string::npos);
}

// Symbolic links take privileges on Windows, and menus are not linked there.
#ifndef _WIN32
// The file the link leads to is replaced, beside its own backup; the link stays as it was.
TEST_F(HostileInput, MenuThatIsASymbolicLinkStaysALink) {
    temp.write("real/menu.xml", previous);
    fs::remove(temp.path(menu));
    fs::create_symlink("../../real/menu.xml", temp.path(menu));
    temp.write("list.txt", "One\r\nhttps://one.example/\r\n");
    const RunOutcome outcome = RunConversion(Paths());
    ASSERT_EQ(outcome.status, RunStatus::Done) << outcome.message;
    EXPECT_TRUE(fs::is_symlink(temp.path(menu)));
    EXPECT_EQ(fs::read_symlink(temp.path(menu)), "../../real/menu.xml");
    EXPECT_NE(temp.read("real/menu.xml").find("<Q k=\"One\"/>"), std::string::npos);
    EXPECT_EQ(temp.read("real/menu.xml.bak"), previous);
    EXPECT_FALSE(temp.exists("real/menu.xml.tmp"));
    EXPECT_FALSE(temp.exists(menu + ".bak"));
    EXPECT_FALSE(temp.exists(menu + ".tmp"));
}

// The machine's files, with a hook that runs after each step the run takes in the menu's
// held folder, or right before it for the renames: the moment at which someone who may write
// the menu's folder acts.
class SwappingFiles final : public PlainFileSystem {
  public:
    std::function<void(const std::string& step)> after;

    std::string LinkTarget(const std::string& path) override { return real_.LinkTarget(path); }
    std::unique_ptr<HeldFolder> HoldFolder(const std::string& folder) override;

  private:
    FileSystem& real_ = RealFileSystem();
};

class SwappingFolder final : public ForwardingFolder {
  public:
    SwappingFolder(std::unique_ptr<HeldFolder> real, SwappingFiles& files)
        : ForwardingFolder(std::move(real)), files_(files) {}

    std::optional<std::string> ReadSource(const std::string& name) override {
        return After("read " + name, ForwardingFolder::ReadSource(name));
    }
    bool WriteNew(const std::string& name, std::span<const std::string_view> pieces) override {
        return After("write " + name, ForwardingFolder::WriteNew(name, pieces));
    }
    bool Rename(const std::string& from, const std::string& to) override {
        Before("rename " + from + " " + to);
        return ForwardingFolder::Rename(from, to);
    }
    ExchangeResult Exchange(const std::string& a, const std::string& b) override {
        Before("exchange " + a + " " + b);
        return ForwardingFolder::Exchange(a, b);
    }

  private:
    template <typename Result>
    Result After(const std::string& step, Result result) {
        Before(step);
        return result;
    }
    void Before(const std::string& step) {
        if (files_.after) {
            files_.after(step);
        }
    }

    SwappingFiles& files_;
};

std::unique_ptr<HeldFolder> SwappingFiles::HoldFolder(const std::string& folder) {
    return std::make_unique<SwappingFolder>(real_.HoldFolder(folder), *this);
}

// Whoever may write the menu's folder renames a link to another file, or another file, over
// the menu while a run or a restore (perhaps root's) works on it: right after the run read
// the menu, once the new menu is written aside, or right before the last step puts a file at
// the menu's name. The file replaced must be the file read: the run stops, what was renamed
// in stays at the menu's name, nothing is written beside the file a link leads to, and that
// file keeps its bytes and its mode.
TEST_F(HostileInput, MenuSwappedMidRunIsNotReplacedThroughIt) {
    struct Case {
        const char* moment;
        bool link;  // else another plain file
        bool restore;
    };
    const Case cases[] = {
        {"read Links.xml", true, false}, {"write Links.xml.tmp", true, false},
        {"last step", true, false},      {"write Links.xml.tmp", false, false},
        {"last step", false, false},     {"last step", false, true},
    };
    // The step that puts a file at the menu's name, whichever way it does.
    const auto isLastStep = [](const std::string& step) {
        return (step.starts_with("rename ") && step.ends_with(" Links.xml")) ||
               step.starts_with("exchange Links.xml");
    };
    const std::string backup = "the backup\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.moment) + (c.link ? ", a link" : ", a file") +
                     (c.restore ? ", restoring" : ""));
        fs::remove(temp.path(menu));
        temp.write(menu, previous);
        fs::remove(temp.path(menu + ".bak"));
        if (c.restore) {
            temp.write(menu + ".bak", backup);
        }
        temp.write("victim/secret.conf", "root's file\n");
        ASSERT_EQ(chmod(temp.path("victim/secret.conf").c_str(), 0600), 0);
        temp.write("list.txt", "#!/bin/sh evil\r\nhttps://one.example/\r\n");
        SwappingFiles files;
        bool swapped = false;  // once: a swap back is no last step
        files.after = [&](const std::string& step) {
            if (swapped ||
                (step != c.moment && !(c.moment == std::string("last step") && isLastStep(step)))) {
                return;
            }
            swapped = true;
            if (c.link) {
                fs::create_symlink(temp.path("victim/secret.conf"), temp.path("swap"));
            } else {
                temp.write("swap", "someone else's menu");
            }
            fs::rename(temp.path("swap"), temp.path(menu));
        };
        const RunOutcome outcome =
            c.restore ? RestoreBackup(temp.path(menu), files) : RunConversion(Paths(), files);
        EXPECT_EQ(outcome.status, RunStatus::WriteError);
        EXPECT_EQ(outcome.message, "ERROR: Could not write the Links.xml");
        EXPECT_EQ(temp.read("victim/secret.conf"), "root's file\n");
        EXPECT_EQ(fs::status(temp.path("victim/secret.conf")).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write);
        for (const char* other : {"victim/secret.conf.bak", "victim/secret.conf.tmp",
                                  "victim/secret.conf.bak.tmp", "victim/secret.conf.lock"}) {
            EXPECT_FALSE(fs::exists(fs::symlink_status(temp.path(other)))) << other;
        }
        EXPECT_EQ(fs::is_symlink(temp.path(menu)), c.link);
        if (!c.link) {
            EXPECT_EQ(temp.read(menu), "someone else's menu");
        }
        EXPECT_FALSE(temp.exists(menu + ".tmp"));
        EXPECT_FALSE(temp.exists(menu + ".bak.tmp"));
        // A backup, if one was made, is the file that was read; a restore's is as it was.
        if (c.restore || temp.exists(menu + ".bak")) {
            EXPECT_EQ(temp.read(menu + ".bak"), c.restore ? backup : previous);
        }
    }
}

// Whatever stands at the lock file's name and is no file is never followed, and the message
// names it; a lock file made under a strict umask still lets in whoever may write the menu.
TEST_F(HostileInput, LockFileIsAPlainFileWithTheMenusPermissions) {
    const std::string lock = menu + ".lock";
    const std::map<std::string, std::function<void()>> planted{
        {"Fifo", [&] { ASSERT_EQ(mkfifo(temp.path(lock).c_str(), 0666), 0); }},
        {"Folder", [&] { fs::create_directory(temp.path(lock)); }},
        {"DanglingLink", [&] { fs::create_symlink(temp.path("made.lock"), temp.path(lock)); }},
        {"LinkToAFile",
         [&] {
             temp.write("other.lock", "");
             fs::create_symlink(temp.path("other.lock"), temp.path(lock));
         }},
    };
    temp.write("list.txt", "One\r\nhttps://one.example/\r\n");
    for (const auto& [name, plant] : planted) {
        SCOPED_TRACE(name);
        plant();
        const RunOutcome outcome = RunConversion(Paths());
        EXPECT_EQ(outcome.status, RunStatus::WriteError);
        EXPECT_EQ(outcome.message, "ERROR: Could not lock the Links.xml: " + temp.path(lock) +
                                       " is not a plain file");
        EXPECT_EQ(temp.read(menu), previous);
        EXPECT_FALSE(temp.exists("made.lock"));
        fs::remove(temp.path(lock));
    }
    ASSERT_EQ(chmod(temp.path(menu).c_str(), 0664), 0);
    const mode_t umaskBefore = umask(077);
    const RunOutcome outcome = RunConversion(Paths());
    umask(umaskBefore);
    EXPECT_EQ(outcome.message, "Done");
    struct stat status {};
    ASSERT_EQ(lstat(temp.path(lock).c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
    EXPECT_EQ(status.st_mode & 07777, 0664u);
}

TEST_F(HostileInput, LinksPlantedAtTheTemporaryAndBackupNamesAreNeverWrittenThrough) {
    temp.write("victim.txt", "someone's file");
    fs::create_symlink(temp.path("victim.txt"), temp.path(menu + ".tmp"));
    fs::create_symlink(temp.path("nowhere.txt"), temp.path(menu + ".bak"));
    temp.write("list.txt", "One\r\nhttps://one.example/\r\n");
    const RunOutcome outcome = RunConversion(Paths());
    ASSERT_EQ(outcome.status, RunStatus::Done) << outcome.message;
    EXPECT_EQ(temp.read("victim.txt"), "someone's file");
    EXPECT_FALSE(temp.exists("nowhere.txt"));
    EXPECT_FALSE(fs::is_symlink(temp.path(menu)));
    EXPECT_NE(temp.read(menu).find("<Q k=\"One\"/>"), std::string::npos);
    EXPECT_EQ(temp.read(menu + ".bak"), previous);
}
#endif

// Menu paths that name no menu file are asked for again, as is a list that is a FIFO; no
// run waits on a FIFO that nobody writes, and none makes a file anywhere, not even a lock.
TEST_F(HostileInput, InputsThatAreNoRegularFileAreAskedFor) {
    struct Case {
        const char* name;
        std::function<std::string(const std::string& special)> make;  // gives the path
        bool isList;
    };
    const auto folder = [](const std::string& path) {
        fs::create_directory(path);
        return path;
    };
    const auto named = [this](const std::string& path) {
        return [this, path](const std::string&) { return temp.path(path); };
    };
    const std::string features = temp.path("m/FEATURES");
    std::vector<Case> cases{
        {"MisspelledMenu", named("m/FEATURES/Lnks.xml"), false},
        {"MenuFolderWithSeparator", [&](const std::string&) { return features + "/"; }, false},
        {"MenuFolder", [&](const std::string&) { return features; }, false},
        {"EmptyMenu",
         [this](const std::string&) {
             temp.write("m/FEATURES/Empty.xml", "");
             return temp.path("m/FEATURES/Empty.xml");
         },
         false},
        {"FolderAsMenu", folder, false},
        {"FolderAsList", folder, true},
    };
#ifndef _WIN32
    // Windows has no FIFOs, and devices are reached by name only (see native_file_win32_test).
    const auto fifo = [](const std::string& path) {
        EXPECT_EQ(mkfifo(path.c_str(), 0666), 0);
        return path;
    };
    const auto link = [](const std::string& target) {
        return [target](const std::string& path) {
            fs::create_symlink(target, path);
            return path;
        };
    };
    cases.insert(cases.end(), {
                                  {"FifoAsMenu", fifo, false},
                                  {"DanglingLinkAsMenu", link(temp.path("nowhere.xml")), false},
                                  {"Device", [](const std::string&) { return "/dev/zero"; }, false},
                                  {"LinkToADeviceAsMenu", link("/dev/zero"), false},
                                  {"FifoAsList", fifo, true},
                              });
#endif
    temp.write("list.txt", "One\r\nhttps://one.example/\r\n");
    // A lock file beside the device would be made outside the test's folder.
    const bool deviceLock = fs::exists(fs::symlink_status("/dev/zero.lock"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunPaths paths = Paths();
        std::string& path = c.isList ? paths.listPath : paths.linksPath;
        path = c.make(temp.path(std::string("special-") + c.name));
        const std::map<std::string, std::string> before = Tree(temp.root());
        const RunOutcome outcome = RunConversion(paths);
        EXPECT_EQ(outcome.status, RunStatus::InputError);
        EXPECT_EQ(outcome.message, c.isList ? kListMessage : "Please enter the Links.xml.");
        EXPECT_EQ(outcome.focusBox, c.isList ? RunInput::List : RunInput::Menu);
        EXPECT_EQ(Tree(temp.root()), before) << "a file was made";
        EXPECT_EQ(fs::exists(fs::symlink_status("/dev/zero.lock")), deviceLock);
    }
    EXPECT_EQ(temp.read(menu), previous);
    EXPECT_FALSE(temp.exists(menu + ".bak"));
}

// The new menu is a new file: another name for the old one keeps the old menu.
TEST_F(HostileInput, HardLinkedMenuIsSplit) {
    fs::create_hard_link(temp.path(menu), temp.path("other-name.xml"));
    const RunOutcome outcome = ConvertChecked("One\r\nhttps://one.example/\r\n");
    ASSERT_EQ(outcome.status, RunStatus::Done) << outcome.message;
    EXPECT_NE(temp.read(menu), previous);
    EXPECT_EQ(temp.read("other-name.xml"), previous);
    EXPECT_EQ(fs::hard_link_count(temp.path(menu)), 1u);
}

#ifdef _WIN32
// Every spelling of one menu names the same lock, temporary and backup files: the names are
// made from the name the file system keeps, so two spellings never run at once.
TEST_F(HostileInput, EverySpellingOfOneMenuSharesItsLockAndBackup) {
    Arrange("a long folder name");
    std::wstring shortPath(MAX_PATH, L'\0');
    shortPath.resize(GetShortPathNameW(WidenPath(temp.path(menu)).c_str(), shortPath.data(),
                                       static_cast<DWORD>(shortPath.size())));
    const std::string folder = "a long folder name/FEATURES";
    const std::set<std::string> names{"Links.xml", "Links.xml.bak", "Links.xml.lock"};
    int run = 0;
    for (const std::string& spelling : {temp.path(menu) + ".", Narrow(shortPath),
                                        temp.path("a long folder name") + "/features/LINKS.XML"}) {
        SCOPED_TRACE(spelling);
        // A link of its own for each run, so that none finds its link in the menu already.
        ++run;
        temp.write("list.txt", "Link " + std::to_string(run) + "\r\nhttps://" +
                                   std::to_string(run) + ".example/\r\n");
        RunPaths paths = Paths();
        paths.linksPath = spelling;
        LockAttempt other = LockAsAnotherRun(temp.path(menu));
        ASSERT_EQ(other.state, LockState::Held);
        EXPECT_EQ(RunConversion(paths, RealFileSystem(), std::chrono::milliseconds(100)).message,
                  "ERROR: The Links.xml is being changed by another run");
        other.lock.reset();
        const std::string before = temp.read(menu);
        EXPECT_EQ(RunConversion(paths).message, "Done");
        EXPECT_EQ(temp.read(menu + ".bak"), before);
        std::set<std::string> found;
        for (const auto& entry : fs::directory_iterator(temp.path(folder))) {
            found.insert(ToUtf8(entry.path().filename()));
        }
        EXPECT_EQ(found, names);
    }
}

// Under wine, which starts unix programs too: the unix side of what Windows cannot show or
// make there (permission bits, links made from the unix side). Empty outside wine.
template <typename Function>
Function WineFunction(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32"), name);
    Function function = nullptr;
    static_assert(sizeof found == sizeof function);
    std::memcpy(&function, &found, sizeof function);
    return function;
}

std::string UnixPath(const std::string& path) {
    const auto unixName = WineFunction<char*(__cdecl*)(const wchar_t*)>("wine_get_unix_file_name");
    char* name = unixName ? unixName(Widen(path).c_str()) : nullptr;
    const std::string unixPath = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return unixPath;
}

// What `command` prints, run by a unix shell (paths in single quotes). The process wine
// starts for it has no handle to wait on, so its output is awaited by name.
std::string UnixShell(const TempFolder& temp, const std::string& command) {
    const auto dosName = WineFunction<wchar_t*(__cdecl*)(const char*)>("wine_get_dos_file_name");
    wchar_t* shell = dosName ? dosName("/bin/sh") : nullptr;
    const std::string output = UnixPath(temp.path("shell.out"));
    std::wstring line = Widen("sh -c \"" + command + " >'" + output + ".part' 2>&1; mv '" + output +
                              ".part' '" + output + "'\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bool started = shell && CreateProcessW(shell, line.data(), nullptr, nullptr, FALSE, 0,
                                                 nullptr, nullptr, &startup, &process);
    HeapFree(GetProcessHeap(), 0, shell);
    for (int wait = 0; started && wait < 200 && !temp.exists("shell.out"); ++wait) {
        Sleep(50);
    }
    const std::string printed = temp.read("shell.out");
    fs::remove(temp.path("shell.out"));
    return printed;
}

// Where access lists stand for permission bits (wine), the new menu and the backup grant
// nobody more than the menu did and nobody execution. Those lists tell the owner from
// the others but not from the group, so the group may get what the owner has, as far as
// the umask lets it.
TEST_F(HostileInput, NewMenuAndBackupGrantNoMoreThanTheMenuUnderWine) {
    const std::string path = UnixPath(temp.path(menu));
    if (path.empty()) {
        GTEST_SKIP() << "permission bits are wine's";
    }
    for (const unsigned mode : {0600u, 0640u, 0644u, 0400u}) {
        SCOPED_TRACE(testing::Message() << std::oct << mode);
        // A link of its own for each run, so that none finds its link in the menu already.
        temp.write("list.txt", "Link " + std::to_string(mode) + "\r\nhttps://" +
                                   std::to_string(mode) + ".example/\r\n");
        std::ostringstream chmod;
        chmod << "chmod " << std::oct << mode << " '" << path << "'";
        UnixShell(temp, chmod.str());
        const RunOutcome outcome = RunConversion(Paths());
        ASSERT_EQ(outcome.status, RunStatus::Done) << outcome.message;
        std::istringstream modes(UnixShell(temp, "stat -c %a '" + path + "' '" + path + ".bak'"));
        int files = 0;
        for (unsigned now = 0; modes >> std::oct >> now; ++files) {
            EXPECT_EQ(now & 0700, mode & 0700) << std::oct << now;
            EXPECT_EQ(now & 0077 & ~(mode | (mode & 0700) >> 3), 0u) << std::oct << now;
        }
        EXPECT_EQ(files, 2);
        UnixShell(temp, "chmod 644 '" + path + "'");
    }
}

// What stands at a temporary name is removed itself, a link as a link, never the file it leads
// to. Under wine, whose CreateSymbolicLinkW reports success and makes nothing, the links are
// made on the unix side, which wine follows whatever the flags say.
TEST_F(HostileInput, LinksAtTheTemporaryNamesAreRemovedThemselves) {
    const auto link = [this](const std::string& target, const std::string& at) {
        const std::string unixAt = UnixPath(temp.path(at));
        if (!unixAt.empty()) {
            UnixShell(temp, "ln -s '" + UnixPath(temp.path(target)) + "' '" + unixAt + "'");
            return UnixShell(temp, "test -L '" + unixAt + "' && echo link") == "link\n";
        }
        return CreateSymbolicLinkW(WidenPath(temp.path(at)).c_str(),
                                   WidenPath(temp.path(target)).c_str(),
                                   SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
    };
    temp.write("victim.txt", "someone's file");
    if (!link("victim.txt", menu + ".tmp")) {
        GTEST_SKIP() << "no symbolic links here (error " << GetLastError() << ")";
    }
    ASSERT_TRUE(link("victim.txt", menu + ".bak.tmp"));
    temp.write("list.txt", "One\r\nhttps://one.example/\r\n");
    const RunOutcome outcome = RunConversion(Paths());
    EXPECT_EQ(temp.read("victim.txt"), "someone's file");
    if (UnixPath(temp.path(menu)).empty()) {
        ASSERT_EQ(outcome.status, RunStatus::Done) << outcome.message;
        EXPECT_FALSE(fs::exists(fs::symlink_status(temp.path(menu + ".tmp"))));
    } else {
        // Wine cannot remove a unix link without following it: the run stops instead.
        EXPECT_EQ(outcome.message, "ERROR: Could not write the Links.xml");
        EXPECT_EQ(temp.read(menu), previous);
        // Nor can the test folder's removal: the links go from the unix side.
        const std::string unixMenu = UnixPath(temp.path(menu));
        UnixShell(temp, "rm '" + unixMenu + ".tmp' '" + unixMenu + ".bak.tmp'");
    }
}

// Links made on the unix side at the lock file's name, which wine follows whatever the
// flags say: a dangling one never makes the file it leads to, one to a file is never locked
// through, and the run names the lock.
TEST_F(HostileInput, UnixLinkAtTheLockNameIsNeverFollowedUnderWine) {
    const std::string lock = UnixPath(temp.path(menu + ".lock"));
    if (lock.empty()) {
        GTEST_SKIP() << "links from the unix side are wine's";
    }
    temp.write("list.txt", "One\r\nhttps://one.example/\r\n");
    // Named as the system names the menu's file.
    std::string named = temp.path(menu + ".lock");
    std::replace(named.begin(), named.end(), '/', '\\');
    for (const bool dangling : {true, false}) {
        SCOPED_TRACE(dangling ? "dangling" : "to a file");
        if (!dangling) {
            temp.write("made.lock", "someone's file");
        }
        UnixShell(temp, "ln -sf '" + UnixPath(temp.path("made.lock")) + "' '" + lock + "'");
        const RunOutcome outcome = RunConversion(Paths());
        EXPECT_EQ(outcome.message,
                  "ERROR: Could not lock the Links.xml: " + named + " is not a plain file");
        EXPECT_EQ(temp.read(menu), previous);
        EXPECT_EQ(temp.exists("made.lock"), !dangling);
        EXPECT_FALSE(temp.exists(menu + ".bak"));
    }
    EXPECT_EQ(temp.read("made.lock"), "someone's file");
    UnixShell(temp, "rm '" + lock + "'");
}

// The new menu and the backup keep the menu file's attributes; a read-only menu is still
// replaced, and stays read-only, as on POSIX.
TEST_F(HostileInput, NewMenuAndBackupKeepTheMenuFilesAttributes) {
    for (const DWORD attributes : {DWORD{FILE_ATTRIBUTE_READONLY}, DWORD{FILE_ATTRIBUTE_HIDDEN},
                                   DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN}}) {
        SCOPED_TRACE("attributes " + std::to_string(attributes));
        const std::string path = temp.path(menu);
        SetFileAttributesW(WidenPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        temp.write(menu, previous);
        ASSERT_TRUE(SetFileAttributesW(WidenPath(path).c_str(), attributes));
        temp.write("list.txt", "One\r\nhttps://one.example/\r\n");
        const RunOutcome outcome = RunConversion(Paths());
        ASSERT_EQ(outcome.status, RunStatus::Done) << outcome.message;
        EXPECT_NE(temp.read(menu), previous);
        EXPECT_EQ(temp.read(menu + ".bak"), previous);
        for (const std::string& file : {path, path + ".bak"}) {
            EXPECT_EQ(GetFileAttributesW(WidenPath(file).c_str()) & attributes, attributes) << file;
            SetFileAttributesW(WidenPath(file).c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
}
#else
// The new menu and the backup keep the menu file's permissions (a read-only menu is still
// replaced, and stays read-only), its extended attributes where the file system has them,
// and its owner and group where the process may give them (root may).
TEST_F(HostileInput, NewMenuAndBackupKeepTheMenuFilesMetadata) {
    const bool root = geteuid() == 0;
    for (const mode_t mode : {0600, 0640, 0444, 0705}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        temp.write(menu, previous);
        fs::remove(temp.path(menu + ".bak"));
        const std::string path = temp.path(menu);
        const bool attributes = setxattr(path.c_str(), "user.tamsel", "kept", 4, 0) == 0;
        if (root) {
            ASSERT_EQ(chown(path.c_str(), 4321, 4322), 0);
        }
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        temp.write("list.txt", "One\r\nhttps://one.example/\r\n");
        const RunOutcome outcome = RunConversion(Paths());
        ASSERT_EQ(outcome.status, RunStatus::Done) << outcome.message;
        for (const std::string& file : {path, path + ".bak"}) {
            struct stat status {};
            ASSERT_EQ(stat(file.c_str(), &status), 0);
            EXPECT_EQ(status.st_mode & 07777, mode) << file;
            if (root) {
                EXPECT_EQ(status.st_uid, 4321u) << file;
                EXPECT_EQ(status.st_gid, 4322u) << file;
            }
            char value[8] = {};
            if (attributes) {
                EXPECT_EQ(getxattr(file.c_str(), "user.tamsel", value, sizeof value), 4) << file;
                EXPECT_EQ(std::string(value), "kept") << file;
            }
        }
        chmod(path.c_str(), 0644);
    }
}

#endif

}  // namespace
}  // namespace tamsel::test
