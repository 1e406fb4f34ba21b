// The menu's folder on a real file system that is small or cannot be written: a tmpfs of a
// chosen size mounted there (which needs root, as in CI), or made read-only. Whatever step
// of a run runs out of room, the menu is as it was, the backup is the old one or the whole
// previous menu, and no temporary file is left.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "convert/conversion_run.h"
#include "quick_app.h"
#include "test_support/temp_folder.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMenu = "m/FEATURES/Links.xml";
constexpr const char* kStaleBackup = "an older backup\r\n";
const std::string kWriteError = "ERROR: Could not write the Links.xml";
const std::string kBackupError = "ERROR: Could not create a backup of the Links.xml";

// A tmpfs mounted at a folder for as long as the object lives.
class SmallDisk {
  public:
    SmallDisk(const std::string& folder, std::size_t bytes) : folder_(folder) {
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
        mounted_ = mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted_) {
            umount2(folder_.c_str(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    bool MakeReadOnly() const {
        return mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

  private:
    std::string folder_;
    bool mounted_ = false;
};

class SmallDiskTest : public testing::Test {
  protected:
    void SetUp() override {
        WriteQuickApp(temp);
        std::string list;
        for (int k = 0; k < 200; ++k) {
            list += "Link" + std::to_string(k) + "\r\nhttps://example.org/" + std::to_string(k) +
                    "\r\n";
        }
        temp.write("list.txt", list);
        previous = "<XMBML>\r\n<Items>\r\n";
        for (int k = 0; previous.size() < 24000; ++k) {
            previous += "<Query key=\"old" + std::to_string(k) + "\"/>\r\n";
        }
        previous += "</Items>\r\n<Items>\r\n</Items>\r\n</XMBML>\r\n";
        fs::create_directories(temp.path("m/FEATURES"));
    }

    RunOutcome Run() const {
        return RunConversion({temp.path("list.txt"), temp.path(kMenu), temp.path("app") + "/"});
    }

    // What is wrong after a run that did not say "Done"; empty when nothing is.
    std::string CheckUntouched(const RunOutcome& outcome) const {
        if (outcome.message != kWriteError && outcome.message != kBackupError) {
            return "unexpected message: " + outcome.message;
        }
        if (temp.read(kMenu) != previous) {
            return "the menu changed";
        }
        const std::string backup = temp.read(std::string(kMenu) + ".bak");
        if (backup != kStaleBackup && backup != previous) {
            return "the backup is neither the old one nor the whole previous menu";
        }
        if (temp.exists(std::string(kMenu) + ".tmp") ||
            temp.exists(std::string(kMenu) + ".bak.tmp")) {
            return "a temporary file is left";
        }
        return "";
    }

    TempFolder temp;
    std::string previous;
};

TEST_F(SmallDiskTest, RunningOutOfRoomAtAnyStepKeepsMenuAndBackup) {
    // The menu and the old backup take 7 pages of 4 KiB; a run needs 8 more for the new menu
    // and 6 for the backup's copy. The free room steps a page at a time across all of it.
    std::set<std::string> outcomes;
    for (std::size_t pages = 7; pages <= 22; ++pages) {
        SCOPED_TRACE(std::to_string(pages) + " pages");
        const SmallDisk disk(temp.path("m/FEATURES"), pages * 4096);
        if (!disk.mounted()) {
            GTEST_SKIP() << "mounting a small tmpfs needs root (CI runs as root)";
        }
        temp.write(kMenu, previous);
        temp.write(std::string(kMenu) + ".bak", kStaleBackup);
        ASSERT_EQ(temp.read(kMenu), previous) << "the inputs do not fit";
        const RunOutcome outcome = Run();
        outcomes.insert(outcome.message);
        if (outcome.status == RunStatus::Done) {
            EXPECT_EQ(temp.read(std::string(kMenu) + ".bak"), previous);
            EXPECT_NE(temp.read(kMenu).find("<Q k=\"Link199\"/>"), std::string::npos);
        } else {
            EXPECT_EQ(CheckUntouched(outcome), "");
        }
    }
    EXPECT_EQ(outcomes, (std::set<std::string>{"Done", kWriteError, kBackupError}));
}

// A folder the run cannot write, with leftovers at the temporary names that therefore cannot
// be removed: a hard link to someone's file and a FIFO. The run stops with nothing changed
// and nothing written through them, and without waiting on the FIFO.
TEST_F(SmallDiskTest, MenuFolderThatCannotBeWrittenStopsTheRunUntouched) {
    const SmallDisk disk(temp.path("m/FEATURES"), 1 << 20);
    const bool root = disk.mounted();
    if (!root && geteuid() == 0) {
        GTEST_SKIP() << "root ignores permission bits, and no tmpfs could be mounted to make "
                        "the folder read-only";
    }
    temp.write(kMenu, previous);
    temp.write("m/FEATURES/precious.txt", "someone's file");
    temp.write(std::string(kMenu) + ".lock", "");
    ASSERT_EQ(mkfifo(temp.path(std::string(kMenu) + ".tmp").c_str(), 0666), 0);
    fs::create_hard_link(temp.path("m/FEATURES/precious.txt"),
                         temp.path(std::string(kMenu) + ".bak.tmp"));
    if (root) {
        ASSERT_TRUE(disk.MakeReadOnly());
    } else {
        fs::permissions(temp.path("m/FEATURES"), fs::perms::owner_read | fs::perms::owner_exec);
    }
    // A run that opened the FIFO would wait for a reader for ever: the alarm ends this test
    // program in seconds instead.
    alarm(10);
    const RunOutcome outcome = Run();
    alarm(0);
    EXPECT_EQ(outcome.status, RunStatus::WriteError);
    EXPECT_EQ(outcome.message, kWriteError);
    EXPECT_EQ(temp.read(kMenu), previous);
    EXPECT_EQ(temp.read("m/FEATURES/precious.txt"), "someone's file");
    EXPECT_FALSE(temp.exists(std::string(kMenu) + ".bak"));
    if (!root) {
        fs::permissions(temp.path("m/FEATURES"), fs::perms::owner_all);
    }
}

}  // namespace
}  // namespace tamsel::test
