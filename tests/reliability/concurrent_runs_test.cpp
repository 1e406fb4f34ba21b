// Several tamsel-convert processes on the same menu at once, each with its own list, one of
// them killed at a random moment. Runs on one menu must never interleave: every run that said
// "Done" has its links in the menu exactly once, the killed run all of its links or none, the
// menu stays whole, and the backup is the menu as it was just before the last replacement.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "convert/conversion_run.h"
#include "quick_app.h"
#include "test_support/other_run_lock.h"
#include "test_support/temp_folder.h"

namespace tamsel::test {
namespace {

constexpr const char* kMenu = "m/FEATURES/Links.xml";
constexpr const char* kLinkToMenu = "n/FEATURES/Links.xml";
constexpr int kRuns = 5;
constexpr int kLinks = 20;
constexpr int kRounds = 6;
const ChildLimits kQuickEnd{std::nullopt, false};

std::string Key(int run, int link) {
    return "Run" + std::to_string(run) + "Link" + std::to_string(link);
}

// A menu of about 2 MB, so that reading and writing it takes long enough to overlap.
std::string MakeMenu() {
    std::string menu = "<XMBML>\r\n\t<Items>\r\n";
    for (int k = 0; menu.size() < (2 << 20); ++k) {
        menu += "\t\t<Query key=\"old" + std::to_string(k) + "\" src=\"#x\"/>\r\n";
    }
    return menu + "\t</Items>\r\n\t<Items>\r\n\t</Items>\r\n</XMBML>\r\n";
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// The menu without the lines that run `run` added.
std::string Without(const std::string& menu, int run) {
    const std::string mark = "\"Run" + std::to_string(run) + "Link";
    std::string kept;
    for (std::size_t start = 0; start < menu.size();) {
        const std::size_t end = menu.find("\r\n", start);
        const std::size_t next = end == std::string::npos ? menu.size() : end + 2;
        const std::string_view line = std::string_view(menu).substr(start, next - start);
        if (line.find(mark) == std::string_view::npos) {
            kept += line;
        }
        start = next;
    }
    return kept;
}

class ConcurrentRuns : public testing::Test {
  protected:
    void SetUp() override {
        WriteQuickApp(temp);
        for (int run = 0; run <= kRuns; ++run) {
            std::string list;
            for (int link = 0; link < kLinks; ++link) {
                list += Key(run, link) + "\r\nhttps://example.org/" + Key(run, link) + "\r\n";
            }
            temp.write("list" + std::to_string(run) + ".txt", list);
        }
        temp.write("n/IMAGES/network.png", "png");
        std::filesystem::create_directories(temp.path("n/FEATURES"));
        std::filesystem::create_symlink(temp.path(kMenu), temp.path(kLinkToMenu));
    }

    // Every other run is given a symbolic link to the menu from another folder: the lock is
    // the linked file's, whichever name a run was given.
    Child Start(int run) const {
        const std::string menu = run % 2 == 1 ? temp.path(kLinkToMenu) : temp.path(kMenu);
        return StartConvert({"--app-folder", temp.path("app"),
                             temp.path("list" + std::to_string(run) + ".txt"), menu},
                            temp.path("out" + std::to_string(run) + ".txt"), kQuickEnd);
    }

    // How many of run `run`'s links the menu holds, each counted once per entry kind.
    int LinksIn(const std::string& menu, int run) const {
        int found = 0;
        for (int link = 0; link < kLinks; ++link) {
            const std::size_t queries = Count(menu, "<Q k=\"" + Key(run, link) + "\"/>");
            const std::size_t items = Count(menu, "<V k=\"" + Key(run, link) + "\"/>");
            EXPECT_LE(queries, 1u) << Key(run, link);
            EXPECT_EQ(queries, items) << Key(run, link);
            found += static_cast<int>(queries);
        }
        return found;
    }

    TempFolder temp;
};

TEST_F(ConcurrentRuns, NeverInterleave) {
    const std::string original = MakeMenu();
    std::mt19937 random(0x10c4);
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        temp.write(kMenu, original);
        std::vector<Child> children;
        for (int run = 0; run < kRuns; ++run) {
            children.push_back(Start(run));
        }
        // Run kRuns, the victim, is killed somewhere in the first half second.
        const Child victim = Start(kRuns);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 500000));
        KillChild(victim);

        for (int run = 0; run < kRuns; ++run) {
            const ChildEnd end = WaitForChild(children[static_cast<std::size_t>(run)]);
            ASSERT_EQ(end.exitCode, 0) << temp.read("out" + std::to_string(run) + ".txt");
            EXPECT_EQ(temp.read("out" + std::to_string(run) + ".txt"), "Done\n");
        }
        const std::string menu = temp.read(kMenu);
        ASSERT_TRUE(menu.ends_with("</XMBML>\r\n"));
        for (int run = 0; run < kRuns; ++run) {
            EXPECT_EQ(LinksIn(menu, run), kLinks) << "run " << run;
        }
        const int victimLinks = LinksIn(menu, kRuns);
        EXPECT_TRUE(victimLinks == 0 || victimLinks == kLinks) << victimLinks;
        // The backup is the menu without the links of exactly one run: the last one. That
        // may be the victim even without its links: killed between putting its backup in
        // place and its new menu, it leaves the menu as it was and that menu as the backup.
        const std::string backup = temp.read(std::string(kMenu) + ".bak");
        int lastRuns = 0;
        for (int run = 0; run <= kRuns; ++run) {
            lastRuns += Without(menu, run) == backup ? 1 : 0;
        }
        EXPECT_EQ(lastRuns, 1);
    }
}

// While another holder has the lock, a run waits for it as long as it is told, then stops
// with its message and changes nothing; once the lock is free, the run goes through.
TEST_F(ConcurrentRuns, BusyMenuStopsTheRunAfterTheWait) {
    const std::string original = MakeMenu();
    temp.write(kMenu, original);
    const RunPaths paths{temp.path("list0.txt"), temp.path(kMenu), temp.path("app") + "/"};
    LockAttempt other = test::LockAsAnotherRun(temp.path(kMenu));
    ASSERT_EQ(other.state, LockState::Held);

    const auto start = std::chrono::steady_clock::now();
    const RunOutcome busy = RunConversion(paths, RealFileSystem(), std::chrono::milliseconds(300));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_EQ(busy.status, RunStatus::WriteError);
    EXPECT_EQ(busy.message, "ERROR: The Links.xml is being changed by another run");
    EXPECT_EQ(busy.icon, MessageIcon::Exclamation);
    EXPECT_EQ(temp.read(kMenu), original);
    EXPECT_FALSE(temp.exists(std::string(kMenu) + ".bak"));

    other.lock.reset();
    EXPECT_EQ(RunConversion(paths, RealFileSystem(), std::chrono::milliseconds(300)).message,
              "Done");
}

}  // namespace
}  // namespace tamsel::test
