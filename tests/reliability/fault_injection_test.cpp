// Every file step of a conversion run failing in turn, alone, in every way a step can fail,
// on every run path. After each step the menu file must be whole, both as it stands and as
// a power cut would leave it; the outcome must say what happened; the next run must work.

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>

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
    friend void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }
};

MemoryFileSystem MakeFiles(const Scenario& scenario, const std::string& menu = kMenu) {
    MemoryFileSystem files;
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

INSTANTIATE_TEST_SUITE_P(RunPaths, FaultAtEveryStep,
                         // A list without links stops before any file changes, so only lists
                         // with links have steps that change files.
                         testing::Values(Scenario{"LinksNoBackup", false},
                                         Scenario{"LinksStaleBackup", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tamsel::test
