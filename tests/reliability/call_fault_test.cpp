// tamsel-convert under strace, on real files: killed at each of its calls in turn, with the
// folder's last flush failing (and then the next file it makes), and paused at one call while
// another process acts. Each with the file system's swap of two names, and without it, as
// file systems that answer renameat2 with EINVAL leave a run.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "convert/backup_restore.h"
#include "convert/conversion_run.h"
#include "menu_promise.h"
#include "quick_app.h"
#include "test_support/temp_folder.h"
#include "traced_convert.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMenu = "m/FEATURES/Links.xml";
constexpr const char* kBackup = "m/FEATURES/Links.xml.bak";
constexpr const char* kTemporary = "m/FEATURES/Links.xml.tmp";
constexpr const char* kBackupTemporary = "m/FEATURES/Links.xml.bak.tmp";
constexpr const char* kLock = "m/FEATURES/Links.xml.lock";
constexpr const char* kWriteError = "ERROR: Could not write the Links.xml\n";
// What a file system without the swap answers.
constexpr const char* kNoSwaps = " -e inject=renameat2:error=EINVAL";
const std::string kMenuBytes =
    "<XMBML>\r\n<Items>\r\n</Items>\r\n<Items>\r\n</Items>\r\n</XMBML>\r\n";
const std::string kBackupBytes =
    "<XMBML>\r\n<Items>\r\n</Items>\r\n<Items>\r\n<Q k=\"Old\"/>\r\n</Items>\r\n</XMBML>\r\n";

// One call of a trace: its name, and which call of that name it is, from 1.
struct Call {
    std::string name;
    int occurrence;
};

// The calls of the traced thread (strace without -f), from the first that names `from` on.
std::vector<Call> CallsFrom(const std::string& trace, const std::string& from) {
    static const std::regex kName(R"(^([a-z0-9_]+)\()");
    std::map<std::string, int> seen;
    std::vector<Call> calls;
    bool started = false;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (!std::regex_search(line, match, kName)) {
            continue;
        }
        const int occurrence = ++seen[match[1]];
        started = started || line.find(from) != std::string::npos;
        if (started) {
            calls.push_back({match[1], occurrence});
        }
    }
    return calls;
}

std::string Inject(const Call& call, const std::string& what) {
    return " -e inject=" + call.name + ":" + what + ":when=" + std::to_string(call.occurrence);
}

class CallFaults : public testing::Test {
  protected:
    void SetUp() override {
        if (!CanTrace()) {
            GTEST_SKIP() << "strace is missing or may not trace here (install-deps installs it)";
        }
        WriteQuickApp(temp);
        temp.write("list.txt", "One\r\nhttps://one.example/\r\n");
        temp.write("other.txt", "Two\r\nhttps://two.example/\r\n");
    }

    // The menu and its backup as each case starts (no menu at all when `menuGone`), and no
    // lock file yet, so that each run makes the same calls.
    void Reset(bool menuGone = false) const {
        for (const char* name : {kTemporary, kBackupTemporary, kMenu, kLock}) {
            fs::remove(temp.path(name));
        }
        if (!menuGone) {
            temp.write(kMenu, kMenuBytes);
        }
        temp.write(kBackup, kBackupBytes);
    }

    std::vector<std::string> Arguments(bool restore, const char* list = "list.txt") const {
        if (restore) {
            return {"--restore", temp.path(kMenu)};
        }
        return {"--app-folder", temp.path("app"), temp.path(list), temp.path(kMenu)};
    }

    // The exit status of tamsel-convert run under strace with `options`.
    int Traced(const std::string& options, const std::vector<std::string>& arguments) const {
        const int status =
            std::system(TracedConvert(options, arguments, temp.path("out.txt")).c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    FileState State(const char* relative) const {
        return temp.exists(relative) ? FileState{true, false, temp.read(relative)} : FileState{};
    }

    // Returns once `ready` holds, or after ten seconds.
    template <typename Ready>
    static void WaitUntil(Ready ready) {
        for (int wait = 0; wait < 2000 && !ready(); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    TempFolder temp;
};

struct KillCase {
    const char* name;
    bool restore;
    bool swaps;
    bool menuGone;
    friend void PrintTo(const KillCase& c, std::ostream* out) { *out << c.name; }
};

class KillAtEveryCall : public CallFaults, public testing::WithParamInterface<KillCase> {};

// A restore is killed at every call from the opening of the menu's folder on, a run at every
// call of its write phase (random kills cover the rest: before it, only the lock file is
// made). A kill at a call that only reads or looks leaves the files as a kill at the next call
// would. After each kill a restore (after a restore) and a run go through, and the run leaves
// no temporary file.
TEST_P(KillAtEveryCall, LosesNothing) {
    const KillCase& c = GetParam();
    const std::string swaps = c.swaps ? "" : kNoSwaps;
    Reset(c.menuGone);
    ASSERT_EQ(Traced(swaps + " -s 4096 -o '" + temp.path("trace.txt") + "'", Arguments(c.restore)),
              0);
    const MenuVersions versions{kMenuBytes, temp.read(kMenu), FileState{true, false, kBackupBytes}};
    const RestoreStart start{c.menuGone ? std::nullopt : std::optional(kMenuBytes), kBackupBytes,
                             c.swaps};
    const std::vector<Call> calls =
        CallsFrom(temp.read("trace.txt"),
                  c.restore ? "\"" + temp.path("m/FEATURES") + "/\"" : "\"Links.xml.tmp\"");
    ASSERT_GT(calls.size(), 5u);
    int kills = 0;
    for (const Call& call : calls) {
        // Refused with EINVAL already: a kill there is the kill at the next call.
        if (!c.swaps && call.name == "renameat2") {
            continue;
        }
        SCOPED_TRACE(call.name + " #" + std::to_string(call.occurrence));
        Reset(c.menuGone);
        kills += Traced(swaps + " -o /dev/null" + Inject(call, "signal=SIGKILL"),
                        Arguments(c.restore)) != 0;
        const FileState menu = State(kMenu);
        const FileState backup = State(kBackup);
        ASSERT_EQ(c.restore ? CheckRestoreMoment(menu, backup, State(kTemporary), start)
                            : CheckAtAnyMoment(menu, backup, versions),
                  "");
        if (c.restore) {
            ASSERT_EQ(RestoreBackup(temp.path(kMenu)).message, "Done");
        }
        const RunOutcome next =
            RunConversion({temp.path("other.txt"), temp.path(kMenu), temp.path("app") + "/"});
        ASSERT_EQ(next.message, "Done");
        EXPECT_FALSE(fs::exists(fs::symlink_status(temp.path(kTemporary))));
        EXPECT_FALSE(fs::exists(fs::symlink_status(temp.path(kBackupTemporary))));
    }
    std::cout << "[          ] " << c.name << ": killed at " << kills << " of " << calls.size()
              << " calls\n";
}

INSTANTIATE_TEST_SUITE_P(Cases, KillAtEveryCall,
                         testing::Values(KillCase{"Restore", true, true, false},
                                         KillCase{"RestoreByCopies", true, false, false},
                                         KillCase{"RestoreOfAMissingMenu", true, true, true},
                                         KillCase{"RestoreOfAMissingMenuByCopies", true, false,
                                                  true},
                                         KillCase{"Run", false, true, false},
                                         KillCase{"RunByRename", false, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The folder's last flush fails (EIO), and the next file the program makes finds the disk
// full: the message says what the files are. Swapped back in one step, the previous state
// needs no room; copied back, it does, and the new state stays and is named.
TEST_F(CallFaults, FailedLastFlushIsUndoneOrNamed) {
    struct Row {
        const char* name;
        bool restore;
        bool swaps;
        const char* message;
        bool changed;
    };
    const Row rows[] = {
        {"restore", true, true, kWriteError, false},
        {"restore by copies", true, false,
         "ERROR: The Links.xml was restored, but the disk did not confirm the change\n", true},
        {"run", false, true, kWriteError, false},
        {"run by rename", false, false,
         "ERROR: The Links.xml was replaced, but the disk did not confirm the change\n", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string swaps = row.swaps ? "" : kNoSwaps;
        Reset();
        ASSERT_EQ(Traced(swaps + " -o '" + temp.path("trace.txt") + "'", Arguments(row.restore)),
                  0);
        const std::string done = temp.read(kMenu);
        const std::string doneBackup = temp.read(kBackup);
        // The first file opened after the last flush: that flush was the clean run's last
        // call that changed anything.
        Call lastFlush{"fsync", 0};
        Call nextOpen{"openat", 1};
        int opened = 0;
        for (const Call& call : CallsFrom(temp.read("trace.txt"), "")) {
            if (call.name == "openat") {
                opened = call.occurrence;
            } else if (call.name == "fsync") {
                lastFlush = call;
                nextOpen.occurrence = opened + 1;
            }
        }
        Reset();
        EXPECT_EQ(Traced(swaps + " -o /dev/null" + Inject(lastFlush, "error=EIO") +
                             Inject(nextOpen, "error=ENOSPC"),
                         Arguments(row.restore)),
                  2);
        EXPECT_EQ(temp.read("out.txt"), row.message);
        EXPECT_EQ(temp.read(kMenu), row.changed ? done : kMenuBytes);
        EXPECT_EQ(temp.read(kBackup), row.changed || !row.restore ? doneBackup : kBackupBytes);
        EXPECT_FALSE(temp.exists(kTemporary));
        EXPECT_FALSE(temp.exists(kBackupTemporary));
    }
}

// A restore that waits for the lock while a run replaces the menu restores what that run
// left: the menu it replaced, now the backup, and never the older backup the restore could
// have read before it had the lock.
TEST_F(CallFaults, RestoreWaitingForTheLockRestoresWhatTheRunBeforeItLeft) {
    for (const bool swaps : {true, false}) {
        SCOPED_TRACE(swaps ? "swapped" : "by copies");
        Reset();
        int restored = -1;
        std::thread restore([&] {
            restored = Traced(std::string(swaps ? "" : kNoSwaps) +
                                  " -o /dev/null -e inject=flock:delay_enter=1000000:when=1",
                              Arguments(true));
        });
        // The lock file is made right before the restore's first try at the lock.
        WaitUntil([&] { return temp.exists(kLock); });
        const RunOutcome run =
            RunConversion({temp.path("list.txt"), temp.path(kMenu), temp.path("app") + "/"});
        const std::string converted = temp.read(kMenu);
        restore.join();
        EXPECT_EQ(run.message, "Done");
        EXPECT_EQ(restored, 0) << temp.read("out.txt");
        EXPECT_EQ(temp.read(kMenu), kMenuBytes);
        EXPECT_EQ(temp.read(kBackup), converted);
    }
}

// A link planted at the temporary file's name in the instant after the run cleared that name
// (a leftover removed) is refused, never written through: the new file is made with O_EXCL
// and O_NOFOLLOW, and the link's target keeps its bytes.
TEST_F(CallFaults, LinkPlantedAfterTheTemporaryNameWasClearedIsNotWrittenThrough) {
    Reset();
    temp.write(kTemporary, "left by a killed run");
    temp.write("victim.txt", "someone's file");
    int exit = -1;
    std::thread run([&] {
        exit =
            Traced(" -o /dev/null -e inject=unlinkat:delay_exit=1000000:when=1", Arguments(false));
    });
    WaitUntil([&] { return !temp.exists(kTemporary); });
    fs::create_symlink(temp.path("victim.txt"), temp.path(kTemporary));
    run.join();
    EXPECT_EQ(exit, 2);
    EXPECT_EQ(temp.read("out.txt"), kWriteError);
    EXPECT_EQ(temp.read("victim.txt"), "someone's file");
    EXPECT_EQ(temp.read(kMenu), kMenuBytes);
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp.path(kTemporary))));
}

}  // namespace
}  // namespace tamsel::test
