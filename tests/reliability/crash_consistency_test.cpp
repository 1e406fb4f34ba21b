// tamsel-convert killed outright at random moments of a long run, again and again. After
// every kill the menu file must be whole (the previous or the new menu), the previous menu
// must survive under the menu's name or the backup's, and the next normal run must work.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <thread>

#include "child_process.h"
#include "convert/conversion_run.h"
#include "menu_promise.h"
#include "quick_app.h"
#include "test_support/temp_folder.h"

namespace tamsel::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::duration_cast;
using std::chrono::microseconds;
using std::chrono::milliseconds;

constexpr std::uint32_t kSeed = 0x7a35e1;
#ifdef _WIN32
// Under an emulator a program takes a quarter of a second to start: fewer, longer runs.
constexpr int kKills = 40;
constexpr milliseconds kWantedRun{600};
#else
constexpr int kKills = 200;
// Long enough that kills land all over a run, short enough that 200 runs stay well under
// two minutes with sanitizers on a small machine.
constexpr milliseconds kWantedRun{250};
#endif

// The leak check at the end of a sanitizer build's run would take longer than the run's
// writing; these children are about their files.
const ChildLimits kQuickEnd{std::nullopt, false};

constexpr const char* kMenu = "m/FEATURES/Links.xml";
constexpr const char* kBackup = "m/FEATURES/Links.xml.bak";
constexpr const char* kTemporary = "m/FEATURES/Links.xml.tmp";
constexpr const char* kBackupTemporary = "m/FEATURES/Links.xml.bak.tmp";
constexpr const char* kStaleBackup = "an older backup";

std::string Word(std::mt19937& random) {
    std::string word;
    const int letters = 3 + static_cast<int>(random() % 8);
    for (int i = 0; i < letters; ++i) {
        word += static_cast<char>('a' + random() % 26);
    }
    return word;
}

// A list of `links` links, some with an info text, among many lines of markup (as in a
// bookmarks export full of folders): long to read and parse, quick to write out, so that
// the follow-up run after every kill stays short.
std::string MakeList(std::mt19937& random, int links) {
    std::string list;
    for (int k = 0; k < links; ++k) {
        for (int line = 0; line < 48; ++line) {
            list += "<DT><H3 ADD_DATE=\"" + std::to_string(random()) + "\">" + Word(random) +
                    "</H3>\r\n";
        }
        list += "Link " + std::to_string(k) + " " + Word(random);
        if (random() % 2 == 0) {
            list += ";" + Word(random) + " " + Word(random);
        }
        list += "\r\nhttps://example.org/" + std::to_string(k) + "/" + Word(random) + "\r\n";
    }
    return list;
}

// A menu that already holds `entries` entries of its own.
std::string MakeMenu(std::mt19937& random, int entries) {
    std::string menu = "<?xml version=\"1.0\"?>\r\n<XMBML version=\"1.0\">\r\n\t<Items>\r\n";
    for (int k = 0; k < entries; ++k) {
        menu += "\t\t<Query key=\"old" + std::to_string(k) + Word(random) + "\"/>\r\n";
    }
    return menu + "\t</Items>\r\n\t<Items>\r\n\t</Items>\r\n</XMBML>\r\n";
}

class CrashConsistency : public testing::Test {
  protected:
    void SetUp() override {
        WriteQuickApp(temp);
        temp.write("small.txt", "Small;one more\r\nhttps://small.example/\r\n");
    }

    std::vector<std::string> Arguments(const std::string& list) const {
        return {"--app-folder", temp.path("app"), temp.path(list), temp.path(kMenu)};
    }

    FileState State(const char* relative) const {
        return temp.exists(relative) ? FileState{true, false, temp.read(relative)} : FileState{};
    }

    // Puts the menu back as it was before the first run; some rounds also leave a backup
    // from an earlier run in the way.
    void Reset(const std::string& menu, bool staleBackup) const {
        std::filesystem::remove(temp.path(kBackup));
        std::filesystem::remove(temp.path(kTemporary));
        std::filesystem::remove(temp.path(kBackupTemporary));
        temp.write(kMenu, menu);
        if (staleBackup) {
            temp.write(kBackup, kStaleBackup);
        }
    }

    // Runs to the end, watching for the temporary file: how long the run took and when the
    // temporary file showed up (the start of the write phase).
    struct Timing {
        Clock::duration run{};
        Clock::duration temporarySeen{};
    };
    Timing TimedRun(const std::string& list) const {
        const Clock::time_point start = Clock::now();
        const Child child = StartConvert(Arguments(list), "", kQuickEnd);
        Timing timing;
        for (;;) {
            if (const std::optional<ChildEnd> end = PollChild(child)) {
                EXPECT_EQ(end->exitCode, 0);
                timing.run = Clock::now() - start;
                break;
            }
            if (timing.temporarySeen == Clock::duration{} && temp.exists(kTemporary)) {
                timing.temporarySeen = Clock::now() - start;
            }
            std::this_thread::sleep_for(microseconds(200));
        }
        if (timing.temporarySeen == Clock::duration{}) {
            timing.temporarySeen = timing.run * 3 / 4;
        }
        return timing;
    }

    // Returns once `relative` exists or the child has ended.
    void WaitForFile(const char* relative, Child child) const {
        while (!temp.exists(relative) && !HasEnded(child)) {
            std::this_thread::sleep_for(microseconds(100));
        }
    }

    // A normal run, in this process (a child with sanitizers takes long just to start).
    RunOutcome Run(const std::string& list) const {
        return RunConversion({temp.path(list), temp.path(kMenu), temp.path("app") + "/"});
    }

    TempFolder temp;
};

// Where a kill landed, told by what it left behind.
std::string Phase(const ChildEnd& end, const FileState& menu, const FileState& temporary,
                  bool backupAside, const MenuVersions& versions) {
    if (!end.killed) {
        return "after the run ended";
    }
    if (menu.present && menu.bytes == versions.next) {
        return "with the new menu in place";
    }
    if (temporary.present) {
        if (temporary.bytes != versions.next) {
            return "while the new menu was written";
        }
        return backupAside ? "while the backup was written aside"
                           : "with the new menu written aside";
    }
    return "before anything was written";
}

TEST_F(CrashConsistency, KillAtAnyMomentLosesNothing) {
    std::mt19937 random(kSeed);
    // Size the input so that one run takes about kWantedRun in this build.
    int links = 2000;
    std::string list;
    std::string previous;
    Timing timing;
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::mt19937 generator(kSeed + static_cast<std::uint32_t>(links));
        list = MakeList(generator, links);
        previous = MakeMenu(generator, 200);
        temp.write("big.txt", list);
        // The first run after writing the input is slower; the second one counts.
        Reset(previous, false);
        TimedRun("big.txt");
        Reset(previous, false);
        timing = TimedRun("big.txt");
        const double ratio = static_cast<double>(duration_cast<microseconds>(kWantedRun).count()) /
                             static_cast<double>(duration_cast<microseconds>(timing.run).count());
        if (ratio > 0.7 && ratio < 1.4) {
            break;
        }
        links = std::clamp(static_cast<int>(links * ratio), 500, 400000);
    }
    const MenuVersions versions{previous, temp.read(kMenu)};
    ASSERT_NE(versions.next, versions.previous);
    // What the small follow-up run makes of either menu.
    std::map<std::string, std::string> afterFollowUp;
    for (const std::string& menu : {versions.previous, versions.next}) {
        Reset(menu, false);
        ASSERT_EQ(Run("small.txt").status, RunStatus::Done);
        afterFollowUp[menu] = temp.read(kMenu);
    }

    // Runs vary on a busy machine: a kill that comes after the end shortens the estimate it
    // was drawn from.
    long long run = duration_cast<microseconds>(timing.run).count();
    const long long writeStarts = duration_cast<microseconds>(timing.temporarySeen).count();
    long long writePhase = std::max(run - writeStarts, 2000LL) * 5 / 4;
    std::map<std::string, int> phases;
    int kills = 0;
    const Clock::time_point began = Clock::now();
    for (int round = 0; kills < kKills && round < 2 * kKills; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const bool staleBackup = round % 3 == 0;
        Reset(versions.previous, staleBackup);
        MenuVersions expected = versions;
        expected.backupBefore = staleBackup ? FileState{true, false, kStaleBackup} : FileState{};
        // Every other kill aims at the write phase, where the files change hands: it waits
        // for the temporary file to show up, then a little longer.
        const bool aimAtWrite = round % 2 == 1;
        const long long delay = static_cast<long long>(random() % (aimAtWrite ? writePhase : run));
        const Child child = StartConvert(Arguments("big.txt"), "", kQuickEnd);
        if (aimAtWrite) {
            WaitForFile(kTemporary, child);
        }
        std::this_thread::sleep_for(microseconds(delay));
        const ChildEnd end = KillChild(child);
        kills += end.killed ? 1 : 0;
        if (!end.killed) {
            long long& estimate = aimAtWrite ? writePhase : run;
            estimate = std::max(estimate * 9 / 10, 500LL);
        }

        const FileState menu = State(kMenu);
        ++phases[Phase(end, menu, State(kTemporary), temp.exists(kBackupTemporary), versions)];
        ASSERT_EQ(CheckAtAnyMoment(menu, State(kBackup), expected), "");
        if (!end.killed) {
            ASSERT_EQ(end.exitCode, 0);
            ASSERT_EQ(CheckDone(menu, State(kBackup), versions), "");
        }

        // A leftover temporary file or backup must not confuse the next run.
        const RunOutcome followUp = Run("small.txt");
        ASSERT_EQ(followUp.status, RunStatus::Done) << followUp.message;
        EXPECT_EQ(temp.read(kMenu), afterFollowUp[menu.bytes]);
        EXPECT_EQ(temp.read(kBackup), menu.bytes);
        EXPECT_FALSE(temp.exists(kTemporary));
        EXPECT_FALSE(temp.exists(kBackupTemporary));
    }
    EXPECT_EQ(kills, kKills);

    std::cout << "[          ] " << kills << " kills of a "
              << duration_cast<milliseconds>(timing.run).count() << " ms run (" << links
              << " links, the write phase from " << writeStarts / 1000 << " ms) in "
              << duration_cast<milliseconds>(Clock::now() - began).count() / 1000 << " s:\n";
    for (const auto& [phase, count] : phases) {
        std::cout << "[          ]   " << count << " " << phase << "\n";
    }
}

// A restore killed at random moments: the menu file and the backup are each whole at every
// moment, and the menu that the restore replaces is whole under one of the two names. So are
// the backup's bytes where the two names are swapped in one step; elsewhere (Windows) they
// are in the temporary file between the two renames. The next restore always works.
TEST_F(CrashConsistency, KillDuringARestoreLosesNothing) {
    std::mt19937 random(kSeed + 1);
    // Menus large enough that copying them takes a while.
    std::string menu = MakeMenu(random, 40000);
    std::string backup = MakeMenu(random, 40000);
    const std::vector<std::string> restore{temp.path(kMenu), "--restore"};
    const auto reset = [&] {
        Reset(menu, false);
        temp.write(kBackup, backup);
    };
    reset();
    const Clock::time_point start = Clock::now();
    ASSERT_EQ(WaitForChild(StartConvert(restore, "", kQuickEnd)).exitCode, 0);
    const long long run = duration_cast<microseconds>(Clock::now() - start).count();
    ASSERT_EQ(temp.read(kMenu), backup);
    ASSERT_EQ(temp.read(kBackup), menu);

    std::map<std::string, int> outcomes;
    const int rounds = kKills / 2;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        reset();
        const Child child = StartConvert(restore, "", kQuickEnd);
        std::this_thread::sleep_for(microseconds(random() % (run * 6 / 5 + 1)));
        const ChildEnd end = KillChild(child);
        const FileState now = State(kMenu);
        const FileState saved = State(kBackup);
        ASSERT_TRUE(now.bytes == menu || now.bytes == backup) << now.bytes.size() << " bytes";
        ASSERT_TRUE(saved.bytes == menu || saved.bytes == backup) << saved.bytes.size() << " bytes";
        ASSERT_TRUE(now.bytes == menu || saved.bytes == menu) << "the menu it replaces is lost";
        const bool backupAside = State(kTemporary).bytes == backup;
#ifndef _WIN32
        EXPECT_FALSE(backupAside) << "the backup was copied where it could be swapped";
#endif
        ASSERT_TRUE(now.bytes == backup || saved.bytes == backup || backupAside)
            << "the backup's bytes are lost";
        const bool swapped = now.bytes == backup && saved.bytes == menu;
        ++outcomes[!end.killed ? "ended before the kill"
                   : swapped   ? "killed after the restore"
                   : backupAside && saved.bytes == menu
                       ? "killed between the renames, the backup aside"
                       : "killed before the restore"];

        const ChildEnd next = WaitForChild(StartConvert(restore, "", kQuickEnd));
        ASSERT_EQ(next.exitCode, 0);
        EXPECT_EQ(temp.read(kMenu), saved.bytes);
        EXPECT_EQ(temp.read(kBackup), now.bytes);
        EXPECT_FALSE(temp.exists(kTemporary));
        EXPECT_FALSE(temp.exists(kBackupTemporary));
    }
    std::cout << "[          ] " << rounds << " kills of a " << run / 1000 << " ms restore:\n";
    for (const auto& [outcome, count] : outcomes) {
        std::cout << "[          ]   " << count << " " << outcome << "\n";
    }
}

}  // namespace
}  // namespace tamsel::test
