// Every file step of a conversion run failing in turn, alone, in every way a step can fail,
// on every run path. After each step the menu file must be whole, both as it stands and as
// a power cut would leave it; the outcome must say what happened; the next run must work.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <set>
#include <string>

#include "convert/backup_restore.h"
#include "convert/conversion_run.h"
#include "memory_file_system.h"
#include "menu_promise.h"

namespace tamsel::test {
namespace {

const RunPaths kPaths{"/home/u/list.txt", "/home/u/APP/FEATURES/Links.xml", "/home/u/APP/"};
const std::string kMenuPath = kPaths.linksPath;
const std::string kBackupPath = kPaths.linksPath + ".bak";
const std::string kTemporaryPath = kPaths.linksPath + ".tmp";
const std::string kImages = "/home/u/APP/IMAGES/";

const std::string kMenu = "<XMBML>\r\n<Items>\r\n</Items>\r\n<Items>\r\n</Items>\r\n</XMBML>\r\n";

struct Scenario {
    const char* name;
    bool staleBackup;  // a backup from an earlier run is in the way
    bool exchanges;    // the file system swaps two names in one step
    friend void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }
};

MemoryFileSystem MakeFiles(const Scenario& scenario, const std::string& menu = kMenu) {
    MemoryFileSystem files;
    files.exchanges = scenario.exchanges;
    files.AddFile(kPaths.appFolder + "item_template_query.txt", "<Query #LINKID#/>\r\n");
    files.AddFile(kPaths.appFolder + "item_template_image.txt",
                  "<Item #LINKID# #LINKTITLE# #LINKINFO# #LINKIMG# #LINKURL#/>");
    files.AddFile(kPaths.appFolder + "item_template_noimage.txt",
                  "<Item #LINKID# #LINKTITLE# #LINKURL#/>");
    files.AddFile(kImages + "network.png", "png");
    files.AddFile(kImages + "Search.png", "png");
    files.AddFile(kMenuPath, menu);
    files.AddFile(kPaths.listPath,
                  "Search;Find things\r\nhttps://s.example/\r\n\r\nPlain\r\nhttp://p.example/");
    if (scenario.staleBackup) {
        files.AddFile(kBackupPath, "stale backup");
    }
    return files;
}

// The menu a run without faults makes from `menu`, optionally with one file taken away.
std::string CleanResult(const Scenario& scenario, const std::string& menu,
                        const std::string& without = "") {
    MemoryFileSystem files = MakeFiles(scenario, menu);
    if (!without.empty()) {
        files.RemoveEntry(without);
    }
    const RunOutcome outcome = RunConversion(kPaths, files);
    EXPECT_EQ(outcome.status, RunStatus::Done) << outcome.message;
    return files.Volatile(kMenuPath).bytes;
}

// The index of the `occurrence`-th step (from 1) of `kind` on `path`.
std::optional<std::size_t> StepIndex(const std::vector<Step>& steps, StepKind kind,
                                     const std::string& path, int occurrence) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].kind == kind && steps[i].path == path && --occurrence == 0) {
            return i;
        }
    }
    return std::nullopt;
}

// A failed icon probe is an icon that seems missing: the run rightly picks another template.
bool IsOwnIconProbe(const Step& step) {
    return step.kind == StepKind::Probe && step.path.starts_with(kImages) &&
           step.path != kImages + "network.png";
}

// After whatever the faulty run left behind, a run without faults does its whole job: it
// adds the links, or finds them all in place when the faulty run added them already.
void ExpectNextRunWorks(MemoryFileSystem& files, const Scenario& scenario) {
    files.OnStep(nullptr);
    const std::string before = files.Volatile(kMenuPath).bytes;
    const RunOutcome outcome = RunConversion(kPaths, files);
    if (before != kMenu && outcome.status == RunStatus::NothingToAdd) {
        EXPECT_EQ(files.Volatile(kMenuPath).bytes, before);
        return;
    }
    const MenuVersions versions{before, CleanResult(scenario, before)};
    ASSERT_EQ(outcome.status, RunStatus::Done) << outcome.message;
    EXPECT_EQ(CheckDone(files.Volatile(kMenuPath), files.Volatile(kBackupPath), versions), "");
    EXPECT_FALSE(files.Volatile(kTemporaryPath).present) << "a temporary file is left behind";
}

class FaultAtEveryStep : public testing::TestWithParam<Scenario> {
  protected:
    // Runs the conversion once for every step of a clean run and every way that step can
    // fail, watching every moment; `check` sees each run's outcome and files.
    template <typename Check>
    void ForEveryFault(Check check) {
        const Scenario& scenario = GetParam();
        MemoryFileSystem clean = MakeFiles(scenario);
        ASSERT_EQ(RunConversion(kPaths, clean).status, RunStatus::Done);
        const MenuVersions versions{kMenu, clean.Volatile(kMenuPath).bytes,
                                    MakeFiles(scenario).Volatile(kBackupPath)};
        ASSERT_NE(versions.next, versions.previous);

        const std::vector<Step> steps = clean.Steps();
        for (std::size_t index = 0; index < steps.size(); ++index) {
            for (const Fault fault : FaultsFor(steps[index].kind)) {
                SCOPED_TRACE("step " + std::to_string(index) + ", " + Name(steps[index].kind) +
                             " " + steps[index].path + ", " + Name(fault));
                MenuVersions expected = versions;
                if (IsOwnIconProbe(steps[index])) {
                    expected.next = CleanResult(scenario, kMenu, steps[index].path);
                }
                MemoryFileSystem files = MakeFiles(scenario);
                files.InjectFault(index, fault);
                std::string broken;
                WatchEveryMoment(files, kMenuPath, expected, broken);
                const RunOutcome outcome = RunConversion(kPaths, files);
                check(outcome, files, expected, broken);
            }
        }
    }
};

TEST_P(FaultAtEveryStep, OutcomeSaysWhatHappenedAndNextRunWorks) {
    ForEveryFault([this](const RunOutcome& outcome, MemoryFileSystem& files,
                         const MenuVersions& expected, const std::string&) {
        EXPECT_EQ(CheckOutcome(outcome, files, kMenuPath, expected), "");
        ExpectNextRunWorks(files, GetParam());
    });
}

TEST_P(FaultAtEveryStep, MenuIsWholeAtEveryMoment) {
    ForEveryFault([](const RunOutcome&, MemoryFileSystem&, const MenuVersions&,
                     const std::string& broken) { EXPECT_EQ(broken, ""); });
}

// A second step failing while the run deals with the first (the folder's flush fails, then
// the disk is full for the copy that would put the previous menu back): whatever the run
// then says is what the files are. Steps before the first write change nothing.
TEST_P(FaultAtEveryStep, SecondFaultStillLeavesAnOutcomeThatTellsTheFiles) {
    const Scenario& scenario = GetParam();
    MemoryFileSystem clean = MakeFiles(scenario);
    ASSERT_EQ(RunConversion(kPaths, clean).status, RunStatus::Done);
    const MenuVersions versions{kMenu, clean.Volatile(kMenuPath).bytes};
    const std::vector<Step>& steps = clean.Steps();
    const auto firstWrite = std::find_if(
        steps.begin(), steps.end(), [](const Step& step) { return step.kind == StepKind::Write; });
    std::set<std::string> messages;
    for (auto index = static_cast<std::size_t>(firstWrite - steps.begin()); index < steps.size();
         ++index) {
        for (const Fault fault : FaultsFor(steps[index].kind)) {
            MemoryFileSystem once = MakeFiles(scenario);
            once.InjectFault(index, fault);
            RunConversion(kPaths, once);
            for (std::size_t second = index + 1; second < once.Steps().size(); ++second) {
                SCOPED_TRACE("step " + std::to_string(index) + " " + Name(fault) + ", then step " +
                             std::to_string(second) + " (" + Name(once.Steps()[second].kind) + " " +
                             once.Steps()[second].path + ")");
                MemoryFileSystem files = MakeFiles(scenario);
                files.InjectFault(index, fault);
                files.InjectFault(second, Fault::Open);
                const RunOutcome outcome = RunConversion(kPaths, files);
                EXPECT_EQ(CheckOutcome(outcome, files, kMenuPath, versions), "");
                messages.insert(outcome.message);
            }
        }
    }
    EXPECT_TRUE(messages.contains(kReplacedUnconfirmed));
}

TEST_P(FaultAtEveryStep, CleanRunReachesEveryKindOfStep) {
    MemoryFileSystem files = MakeFiles(GetParam());
    RunConversion(kPaths, files);
    std::set<StepKind> kinds;
    for (const Step& step : files.Steps()) {
        kinds.insert(step.kind);
    }
    for (const StepKind kind :
         {StepKind::Probe, StepKind::ReadWhole, StepKind::ReadLines, StepKind::Write,
          StepKind::Remove, StepKind::Rename, StepKind::SyncFolder}) {
        EXPECT_TRUE(kinds.contains(kind)) << Name(kind);
    }
}

// Which step of the replacement failed is what the message says, and where the older backup
// went: it stays unless the copy of the menu was already renamed over it. The last step is a
// swap of two names or a rename, whichever the file system has; both are rename steps here.
TEST(FailedReplacement, MessageNamesTheStepAndTheBackupIsKnown) {
    constexpr const char* kWrite = "ERROR: Could not write the Links.xml";
    constexpr const char* kBackup = "ERROR: Could not create a backup of the Links.xml";
    struct Row {
        StepKind kind;
        std::string path;
        int occurrence;  // of this kind and path among the clean run's steps, from 1
        const char* message;
        bool backupReplaced;
    };
    const std::string folder = ParentFolder(kMenuPath) + "/";
    const std::vector<Row> rows{
        {StepKind::Write, kTemporaryPath, 1, kWrite, false},
        {StepKind::ReadWhole, kMenuPath, 2, kBackup, false},  // the menu read for its copy
        {StepKind::Write, kBackupPath + ".tmp", 1, kBackup, false},
        {StepKind::Rename, kBackupPath + ".tmp", 1, kBackup, false},
        {StepKind::SyncFolder, folder, 1, kBackup, true},
        {StepKind::Rename, kTemporaryPath, 1, kWrite, true},
        {StepKind::SyncFolder, folder, 2, kWrite, true},
    };
    for (const Scenario& scenario : {Scenario{"LinksStaleBackup", true, true},
                                     Scenario{"LinksStaleBackupByRename", true, false}}) {
        MemoryFileSystem clean = MakeFiles(scenario);
        ASSERT_EQ(RunConversion(kPaths, clean).status, RunStatus::Done);
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(scenario.name) + ": " + Name(row.kind) + " " + row.path +
                         " #" + std::to_string(row.occurrence));
            const std::optional<std::size_t> index =
                StepIndex(clean.Steps(), row.kind, row.path, row.occurrence);
            ASSERT_TRUE(index.has_value());
            MemoryFileSystem files = MakeFiles(scenario);
            files.InjectFault(*index, Fault::Open);
            const RunOutcome outcome = RunConversion(kPaths, files);
            EXPECT_EQ(outcome.message, row.message);
            EXPECT_EQ(files.Volatile(kMenuPath).bytes, kMenu);
            EXPECT_EQ(files.Volatile(kBackupPath).bytes,
                      row.backupReplaced ? kMenu : "stale backup");
        }
    }
}

// A restore, every file step failing in turn, alone and followed by any later one. At every
// moment the menu as it was is whole under the menu's name or the backup's, and so is the
// backup where the two names swap in one step; elsewhere the backup is in Links.xml.tmp
// between the two renames. What the restore says is what the files are, and the next
// restore works.
const std::string kOlderMenu =
    "<XMBML>\r\n<Items>\r\n</Items>\r\n<Items>\r\n<Query Old/>\r\n</Items>\r\n</XMBML>\r\n";
constexpr const char* kRestoredUnconfirmed =
    "ERROR: The Links.xml was restored, but the disk did not confirm the change";

struct RestoreScenario {
    const char* name;
    bool exchanges;  // the file system swaps two names in one step
    bool menuGone;   // only the backup is there
    friend void PrintTo(const RestoreScenario& scenario, std::ostream* out) {
        *out << scenario.name;
    }
};

bool Holds(const FileState& file, const std::string& bytes) {
    return file.present && !file.torn && file.bytes == bytes;
}

class FaultAtEveryRestoreStep : public testing::TestWithParam<RestoreScenario> {
  protected:
    MemoryFileSystem MakeRestoreFiles() const {
        MemoryFileSystem files;
        files.exchanges = GetParam().exchanges;
        files.AddFolder(ParentFolder(kMenuPath));
        if (!GetParam().menuGone) {
            files.AddFile(kMenuPath, kMenu);
        }
        files.AddFile(kBackupPath, kOlderMenu);
        return files;
    }

    std::string CheckMoment(const FileState& menu, const FileState& backup,
                            const FileState& temporary) const {
        return CheckRestoreMoment(
            menu, backup, temporary,
            {GetParam().menuGone ? std::nullopt : std::optional<std::string>(kMenu), kOlderMenu,
             GetParam().exchanges});
    }

    // What the restore said against its files: after "Done" the backup in place and the
    // menu as the backup (or the backup kept, with no menu before), as they stand and after
    // any power cut; unconfirmed, the same as they stand; any other message, nothing changed
    // (but for a second failure while the backup is in the temporary file, which leaves it
    // there).
    std::string CheckOutcome(const RunOutcome& outcome, const MemoryFileSystem& files) const {
        const std::string kept = GetParam().menuGone ? kOlderMenu : kMenu;
        const auto restored = [&](const FileState& menu, const FileState& backup) {
            return Holds(menu, kOlderMenu) && Holds(backup, kept);
        };
        const FileState menu = files.Volatile(kMenuPath);
        const FileState backup = files.Volatile(kBackupPath);
        if (outcome.message == "Done") {
            bool durable = outcome.status == RunStatus::Done && restored(menu, backup);
            for (const PowerCut& cut : files.PowerCuts()) {
                durable = durable && restored(cut.File(kMenuPath), cut.File(kBackupPath));
            }
            return durable ? "" : "\"Done\" but not restored on the disk";
        }
        if (outcome.status == RunStatus::Done) {
            return "success reported as \"" + outcome.message + "\"";
        }
        if (outcome.message == kRestoredUnconfirmed) {
            return restored(menu, backup) ? "" : "unconfirmed, but not restored";
        }
        const bool untouched = GetParam().menuGone ? !menu.present : Holds(menu, kMenu);
        const bool backupAside = !GetParam().exchanges && Holds(backup, kMenu) &&
                                 Holds(files.Volatile(kTemporaryPath), kOlderMenu);
        return untouched && (Holds(backup, kOlderMenu) || backupAside)
                   ? ""
                   : "\"" + outcome.message + "\" but the files changed";
    }
};

TEST_P(FaultAtEveryRestoreStep, MenuAndBackupAreKeptAtEveryMoment) {
    MemoryFileSystem clean = MakeRestoreFiles();
    ASSERT_EQ(RestoreBackup(kMenuPath, clean).message, "Done");
    for (std::size_t index = 0; index < clean.Steps().size(); ++index) {
        for (const Fault fault : FaultsFor(clean.Steps()[index].kind)) {
            SCOPED_TRACE("step " + std::to_string(index) + ", " + Name(fault));
            MemoryFileSystem files = MakeRestoreFiles();
            files.InjectFault(index, fault);
            std::string broken;
            files.OnStep([&](const MemoryFileSystem& now) {
                std::string found = CheckMoment(now.Volatile(kMenuPath), now.Volatile(kBackupPath),
                                                now.Volatile(kTemporaryPath));
                for (const PowerCut& cut : now.PowerCuts()) {
                    if (found.empty()) {
                        found = CheckMoment(cut.File(kMenuPath), cut.File(kBackupPath),
                                            cut.File(kTemporaryPath));
                    }
                }
                if (broken.empty() && !found.empty()) {
                    broken = "after step " + std::to_string(now.Steps().size() - 1) + ": " + found;
                }
            });
            const RunOutcome outcome = RestoreBackup(kMenuPath, files);
            EXPECT_EQ(broken, "");
            EXPECT_EQ(CheckOutcome(outcome, files), "") << outcome.message;

            // Whatever it left, the next restore swaps menu and backup, or puts the backup back.
            files.OnStep(nullptr);
            const FileState menu = files.Volatile(kMenuPath);
            const std::string backup = files.Volatile(kBackupPath).bytes;
            ASSERT_EQ(RestoreBackup(kMenuPath, files).message, "Done");
            EXPECT_EQ(files.Volatile(kMenuPath).bytes, backup);
            EXPECT_EQ(files.Volatile(kBackupPath).bytes, menu.present ? menu.bytes : backup);
            EXPECT_FALSE(files.Volatile(kTemporaryPath).present);
            EXPECT_FALSE(files.Volatile(kBackupPath + ".tmp").present);
        }
    }
}

TEST_P(FaultAtEveryRestoreStep, SecondFaultStillLeavesAnOutcomeThatTellsTheFiles) {
    MemoryFileSystem clean = MakeRestoreFiles();
    RestoreBackup(kMenuPath, clean);
    std::set<std::string> messages;
    for (std::size_t index = 0; index < clean.Steps().size(); ++index) {
        for (const Fault fault : FaultsFor(clean.Steps()[index].kind)) {
            MemoryFileSystem once = MakeRestoreFiles();
            once.InjectFault(index, fault);
            RestoreBackup(kMenuPath, once);
            for (std::size_t second = index + 1; second < once.Steps().size(); ++second) {
                SCOPED_TRACE("step " + std::to_string(index) + " " + Name(fault) + ", then step " +
                             std::to_string(second));
                MemoryFileSystem files = MakeRestoreFiles();
                files.InjectFault(index, fault);
                files.InjectFault(second, Fault::Open);
                const RunOutcome outcome = RestoreBackup(kMenuPath, files);
                EXPECT_EQ(CheckOutcome(outcome, files), "") << outcome.message;
                messages.insert(outcome.message);
            }
        }
    }
    EXPECT_TRUE(messages.contains(kRestoredUnconfirmed));
}

INSTANTIATE_TEST_SUITE_P(Restores, FaultAtEveryRestoreStep,
                         testing::Values(RestoreScenario{"Swapped", true, false},
                                         RestoreScenario{"Copied", false, false},
                                         RestoreScenario{"MenuGone", true, true},
                                         RestoreScenario{"MenuGoneNoSwaps", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(RunPaths, FaultAtEveryStep,
                         // A list without links stops before any file changes, so only lists
                         // with links have steps that change files.
                         testing::Values(Scenario{"LinksNoBackup", false, true},
                                         Scenario{"LinksStaleBackup", true, true},
                                         Scenario{"LinksNoBackupByRename", false, false},
                                         Scenario{"LinksStaleBackupByRename", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tamsel::test
