// "Done" means durable: tamsel-convert is traced with strace and the order of its file calls
// is checked. The new menu's bytes are flushed before it is renamed into place, the backup's
// before it is renamed over the old backup, the folder after each of those renames, and all of
// it before "Done" is written. Dropping or moving any one of those flushes fails this test.

#include <gtest/gtest.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "quick_app.h"
#include "test_support/temp_folder.h"
#include "traced_convert.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

// One traced call that matters here, with the files it named.
struct Call {
    std::string name;  // write, fsync, rename
    std::string path;  // the file written or flushed, the source of a rename
    std::string to;    // the target of a rename
    std::string data;  // the start of what a write wrote
};

// A path as strace prints it, with "\\" for each backslash.
std::string Unescaped(const std::string& printed) {
    std::string path;
    for (std::size_t i = 0; i < printed.size(); ++i) {
        if (printed[i] == '\\' && i + 1 < printed.size()) {
            ++i;
        }
        path += printed[i];
    }
    return path;
}

// The calls of a trace made with -f, in order; descriptors are followed from openat to their
// close (a sanitizer build writes to pipes of its own, which may take a closed file's number), and
// a name opened or renamed relative to a folder's descriptor is read as that folder's path followed
// by the name.
std::vector<Call> ParseTrace(const std::string& trace) {
    static const std::regex kOpen(R"re(openat\((AT_FDCWD|\d+), "([^"]*)", [^)]*\) = (\d+))re");
    static const std::regex kClose(R"re(close\((\d+)\))re");
    static const std::regex kFd(
        R"re((write|fsync|fdatasync|fchmod|fchown|fsetxattr)\((\d+)(?:, ("[^"]*"))?)re");
    static const std::regex kRename(
        R"re(rename(?:at2?)?\((?:(AT_FDCWD|\d+), )?"([^"]*)", (?:(AT_FDCWD|\d+), )?"([^"]*)")re");
    std::map<std::string, std::string> files;
    const auto at = [&files](const std::string& folder, const std::string& name) {
        const std::string path = Unescaped(name);
        if (folder.empty() || folder == "AT_FDCWD" || path.starts_with('/')) {
            return path;
        }
        const std::string& base = files[folder];
        return base.ends_with('/') ? base + path : base + "/" + path;
    };
    std::vector<Call> calls;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (std::regex_search(line, match, kOpen)) {
            files[match[3]] = at(match[1], match[2]);
        } else if (std::regex_search(line, match, kClose)) {
            files.erase(match[1]);
        } else if (std::regex_search(line, match, kFd)) {
            const std::string name = match[1] == "fdatasync" ? "fsync" : std::string(match[1]);
            const std::string fd = match[2];
            calls.push_back({name, fd == "1" ? "stdout" : files[fd], "", match[3]});
        } else if (std::regex_search(line, match, kRename) &&
                   line.find(" = 0") != std::string::npos) {
            calls.push_back({"rename", at(match[1], match[2]), at(match[3], match[4]), ""});
        }
    }
    return calls;
}

std::optional<std::size_t> Find(const std::vector<Call>& calls, const std::string& name,
                                const std::string& path, std::size_t from = 0) {
    for (std::size_t i = from; i < calls.size(); ++i) {
        if (calls[i].name == name && calls[i].path == path) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> FindLast(const std::vector<Call>& calls, const std::string& name,
                                    const std::string& path) {
    for (std::size_t i = calls.size(); i-- > 0;) {
        if (calls[i].name == name && calls[i].path == path) {
            return i;
        }
    }
    return std::nullopt;
}

// What is wrong with the order of `calls` for a menu file `menu` in `folder` (ending in "/");
// empty when nothing is.
std::string CheckOrder(const std::vector<Call>& calls, const std::string& menu,
                       const std::string& folder) {
    const std::string temporary = menu + ".tmp";
    const std::string backupTemporary = menu + ".bak.tmp";
    const auto menuRename = Find(calls, "rename", temporary);
    const auto backupRename = Find(calls, "rename", backupTemporary);
    const auto done = Find(calls, "write", "stdout");
    if (!menuRename || calls[*menuRename].to != menu) {
        return "the new menu is not renamed into place";
    }
    if (!backupRename || calls[*backupRename].to != menu + ".bak") {
        return "the backup is not renamed over the old one";
    }
    if (!done || calls[*done].data.find("Done") == std::string::npos) {
        return "no \"Done\"";
    }
    for (const auto& [file, rename] :
         {std::pair{temporary, *menuRename}, std::pair{backupTemporary, *backupRename}}) {
        const auto flush = FindLast(calls, "fsync", file);
        const auto lastWrite = FindLast(calls, "write", file);
        if (!flush || !lastWrite || *flush < *lastWrite || *flush > rename) {
            return file + " is not flushed after its last write and before its rename";
        }
        // The menu's permissions, owner and attributes are part of what the flush keeps.
        for (const char* metadata : {"fchmod", "fchown", "fsetxattr"}) {
            const auto set = FindLast(calls, metadata, file);
            if (metadata == std::string("fchmod") && !set) {
                return file + " never gets the menu's permissions";
            }
            if (set && *set > *flush) {
                return file + " gets its " + metadata + " after its flush";
            }
        }
    }
    if (*backupRename > *menuRename) {
        return "the backup is put in place after the new menu";
    }
    const auto folderAfterBackup = Find(calls, "fsync", folder, *backupRename);
    if (!folderAfterBackup || *folderAfterBackup > *menuRename) {
        return "the folder is not flushed between the backup's rename and the menu's";
    }
    const auto folderAfterMenu = Find(calls, "fsync", folder, *menuRename);
    if (!folderAfterMenu || *folderAfterMenu > *done) {
        return "the folder is not flushed after the menu's rename and before \"Done\"";
    }
    return "";
}

class DurableOrder : public testing::Test {
  protected:
    void SetUp() override {
        WriteQuickApp(temp);
        temp.write("list.txt", "One\r\nhttps://one.example/\r\n");
        temp.write("m/FEATURES/Links.xml.bak", "an older backup");
    }

    // The calls of one traced run, which must end well.
    std::vector<Call> TracedRun() const {
        const std::string command = TracedConvert(
            "-f -s 16 -e trace=openat,close,write,fsync,fdatasync,rename,renameat,renameat2,"
            "fchmod,fchown,fsetxattr -o '" +
                temp.path("trace.txt") + "'",
            {"--app-folder", temp.path("app"), temp.path("list.txt"),
             temp.path("m/FEATURES/Links.xml")},
            temp.path("out.txt"));
        EXPECT_EQ(std::system(command.c_str()), 0) << temp.read("out.txt");
        return ParseTrace(temp.read("trace.txt"));
    }

    TempFolder temp;
};

const char* const kMenu = "<XMBML>\r\n<Items>\r\n</Items>\r\n<Items>\r\n</Items>\r\n</XMBML>\r\n";

// With an owner to give and an attribute to copy, every piece of metadata is set before the
// flush that keeps it.
TEST_F(DurableOrder, EveryFlushComesBeforeWhatReliesOnIt) {
    const std::string menu = temp.path("m/FEATURES/Links.xml");
    temp.write("m/FEATURES/Links.xml", kMenu);
    const bool owner = geteuid() == 0 && chown(menu.c_str(), 4321, 4322) == 0;
    const bool attribute = setxattr(menu.c_str(), "user.tamsel", "kept", 4, 0) == 0;
    if (!CanTrace()) {
        GTEST_SKIP() << "strace is missing or may not trace here (install-deps installs it)";
    }
    const std::vector<Call> calls = TracedRun();
    EXPECT_EQ(CheckOrder(calls, menu, temp.path("m/FEATURES") + "/"), "");
    for (const std::string& file : {menu + ".tmp", menu + ".bak.tmp"}) {
        EXPECT_EQ(Find(calls, "fchown", file).has_value(), owner) << file;
        EXPECT_EQ(Find(calls, "fsetxattr", file).has_value(), attribute) << file;
    }
}

// A linked menu is replaced where it lives; on POSIX a "\" is part of a folder's name, so
// the folder flushed is the one that holds the file, up to its last "/".
TEST_F(DurableOrder, LinkedMenuFlushesTheFolderOfItsTarget) {
    temp.write("we\\ird/menu.xml", kMenu);
    temp.write("we\\ird/menu.xml.bak", "an older backup");
    fs::create_directories(temp.path("m/FEATURES"));
    fs::create_symlink(temp.path("we\\ird/menu.xml"), temp.path("m/FEATURES/Links.xml"));
    if (!CanTrace()) {
        GTEST_SKIP() << "strace is missing or may not trace here (install-deps installs it)";
    }
    const std::vector<Call> calls = TracedRun();
    const std::string target = fs::canonical(temp.path("we\\ird/menu.xml")).string();
    EXPECT_EQ(CheckOrder(calls, target, target.substr(0, target.rfind('/') + 1)), "");
    EXPECT_NE(temp.read("we\\ird/menu.xml").find("<Q k=\"One\"/>"), std::string::npos);
}

}  // namespace
}  // namespace tamsel::test
