// Every single file operation of a normal run failing in turn, on the real file system.

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "convert/conversion_run.h"
#include "run_setup.h"
#include "test_support/forwarding_folder.h"

namespace tamsel {
namespace {

using test::ReadFixture;
using test::RunSetup;

enum class Step { Probe, ReadWhole, ReadLines, ReadLinesPartway, Write, Remove, Rename, Sync };

const char* Name(Step step) {
    constexpr std::array names{"probe", "read whole", "read lines", "read lines part-way",
                               "write", "remove",     "rename",     "sync folder"};
    return names[static_cast<std::size_t>(step)];
}

// The real file system, except that the `failAt`-th call of one kind of operation fails
// (counted from 1; 0 fails none). Counts every kind of call.
class FailingFileSystem : public FileSystem {
  public:
    FailingFileSystem(Step failing, int failAt) : failing_(failing), failAt_(failAt) {}

    std::map<Step, int> calls;

    std::uint64_t ProbeFileSize(const std::string& path) override {
        return Fails(Step::Probe) ? 0 : real_.ProbeFileSize(path);
    }
    std::optional<std::string> ReadWhole(const std::string& path) override {
        if (Fails(Step::ReadWhole)) {
            return std::nullopt;
        }
        return real_.ReadWhole(path);
    }
    bool ReadLines(const std::string& path, const LineHandler& onLine) override {
        if (Fails(Step::ReadLines)) {
            return false;
        }
        if (!Fails(Step::ReadLinesPartway)) {
            return real_.ReadLines(path, onLine);
        }
        // Delivers the first line, then reports a read error.
        struct Stop {};
        try {
            return real_.ReadLines(path, [&](std::string_view line) {
                onLine(line);
                throw Stop{};
            });
        } catch (const Stop&) {
            return false;
        }
    }
    std::unique_ptr<HeldFolder> HoldFolder(const std::string& folder) override;

    bool Fails(Step step) {
        // Both read-lines kinds count the same calls.
        const Step counted = step == Step::ReadLinesPartway ? Step::ReadLines : step;
        if (step != Step::ReadLinesPartway) {
            ++calls[counted];
        }
        return failing_ == step && calls[counted] == failAt_;
    }

  private:
    FileSystem& real_ = RealFileSystem();
    Step failing_;
    int failAt_;
};

// The real held folder, each step counted and failing in turn. The last step is the rename
// every system has: swapping two names is left to the in-memory file system's tests.
class FailingFolder final : public test::ForwardingFolder {
  public:
    FailingFolder(std::unique_ptr<HeldFolder> real, FailingFileSystem& files)
        : ForwardingFolder(std::move(real)), files_(files) {}

    std::optional<std::string> ReadSource(const std::string& name) override {
        return Counted(ForwardingFolder::ReadSource(name));
    }
    std::optional<std::string> Read(const std::string& name) override {
        return Counted(ForwardingFolder::Read(name));
    }
    std::optional<std::string> ReadSourceAgain() override {
        return Counted(ForwardingFolder::ReadSourceAgain());
    }
    bool WriteNew(const std::string& name, std::span<const std::string_view> pieces) override {
        if (!files_.Fails(Step::Write)) {
            return ForwardingFolder::WriteNew(name, pieces);
        }
        std::string joined;
        for (std::string_view piece : pieces) {
            joined += piece;
        }
        const std::string_view half = std::string_view(joined).substr(0, joined.size() / 2);
        ForwardingFolder::WriteNew(name, std::span(&half, 1));
        return false;  // a partial file is left, as a full disk would leave it
    }
    bool Remove(const std::string& name) override {
        return !files_.Fails(Step::Remove) && ForwardingFolder::Remove(name);
    }
    bool Rename(const std::string& from, const std::string& to) override {
        return !files_.Fails(Step::Rename) && ForwardingFolder::Rename(from, to);
    }
    ExchangeResult Exchange(const std::string&, const std::string&) override {
        return ExchangeResult::Unsupported;
    }
    bool RenameNew(const std::string& from, const std::string& to) override {
        return !files_.Fails(Step::Rename) && ForwardingFolder::RenameNew(from, to);
    }
    bool HasEntry(const std::string& name) override {
        return !files_.Fails(Step::Probe) && ForwardingFolder::HasEntry(name);
    }
    bool Sync() override { return !files_.Fails(Step::Sync) && ForwardingFolder::Sync(); }

  private:
    std::optional<std::string> Counted(std::optional<std::string> bytes) {
        return files_.Fails(Step::ReadWhole) ? std::nullopt : bytes;
    }

    FailingFileSystem& files_;
};

std::unique_ptr<HeldFolder> FailingFileSystem::HoldFolder(const std::string& folder) {
    std::unique_ptr<HeldFolder> real = real_.HoldFolder(folder);
    return real ? std::make_unique<FailingFolder>(std::move(real), *this) : nullptr;
}

void Arrange(const RunSetup& setup) {
    setup.writeList("One\r\nhttp://one.org/\r\nTwo;info\r\nhttp://two.org/\r\n");
    setup.temp().write(std::string(RunSetup::kMenu) + ".bak", "stale backup");
}

TEST(FailingStep, EveryStepLeavesTheOldMenuOrCompletes) {
    RunSetup reference;
    Arrange(reference);
    FailingFileSystem counting(Step::Probe, 0);
    ASSERT_EQ(RunConversion(reference.paths(), counting).status, RunStatus::Done);
    const std::string newMenu = reference.menu();
    const std::string oldMenu = ReadFixture("menu/Links.xml");

    for (Step step : {Step::Probe, Step::ReadWhole, Step::ReadLines, Step::ReadLinesPartway,
                      Step::Write, Step::Remove, Step::Rename, Step::Sync}) {
        const Step counted = step == Step::ReadLinesPartway ? Step::ReadLines : step;
        ASSERT_GT(counting.calls[counted], 0) << Name(step);
        for (int k = 1; k <= counting.calls[counted]; ++k) {
            RunSetup setup;
            Arrange(setup);
            FailingFileSystem files(step, k);
            const RunOutcome outcome = RunConversion(setup.paths(), files);
            const std::string where = std::string(Name(step)) + " #" + std::to_string(k);
            EXPECT_FALSE(setup.exists(std::string(RunSetup::kMenu) + ".tmp")) << where;
            if (outcome.status == RunStatus::Done) {
                EXPECT_EQ(setup.menu(), newMenu) << where;
                EXPECT_EQ(setup.backup(), oldMenu) << where;
            } else {
                EXPECT_EQ(setup.menu(), oldMenu) << where << ": " << outcome.message;
                EXPECT_FALSE(outcome.message.empty()) << where;
                EXPECT_TRUE(outcome.folderToOpen.empty()) << where;
            }
        }
    }
}

struct ReadFailure {
    Step step;
    int failAt;
    std::string message;
    std::optional<RunInput> focus;
};

TEST(FailingStep, ReadFailuresStopWithTheMessageOfTheirOwnCheck) {
    const std::array<ReadFailure, 6> cases{{
        {Step::ReadWhole, 1, "Missing item_template_query.txt", std::nullopt},
        {Step::ReadWhole, 2, "Missing item_template_image.txt", std::nullopt},
        {Step::ReadWhole, 3, "Missing item_template_noimage.txt", std::nullopt},
        {Step::ReadLines, 1, "Please enter a TXT file or a Firefox Bookmarks.html.",
         RunInput::List},
        {Step::ReadLinesPartway, 1, "Please enter a TXT file or a Firefox Bookmarks.html.",
         RunInput::List},
        {Step::ReadWhole, 4, "Please enter the Links.xml.", RunInput::Menu},
    }};
    for (const ReadFailure& c : cases) {
        RunSetup setup;
        Arrange(setup);
        FailingFileSystem files(c.step, c.failAt);
        const RunOutcome outcome = RunConversion(setup.paths(), files);
        EXPECT_EQ(outcome.status, RunStatus::InputError) << c.message;
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_EQ(outcome.icon, MessageIcon::Information);
        EXPECT_EQ(outcome.focusBox, c.focus) << c.message;
        EXPECT_EQ(files.calls[Step::Write], 0) << c.message;
        EXPECT_EQ(setup.backup(), "stale backup");
    }
}

struct WriteFailure {
    Step step;
    int failAt;
    std::string message;
};

TEST(FailingStep, WriteFailuresNameWhatFailed) {
    const std::string backupError = "ERROR: Could not create a backup of the Links.xml";
    const std::string writeError = "ERROR: Could not write the Links.xml";
    // Remove #1 clears the way for the new menu, Write #1; Remove #2 clears the backup's
    // temporary name for the backup copy, Write #2, which Rename #1 puts over the stale
    // backup and Sync #1 flushes; Rename #2 puts the new file in, which Sync #2 flushes.
    const std::array<WriteFailure, 6> cases{{
        {Step::Write, 1, writeError},
        {Step::Write, 2, backupError},
        {Step::Rename, 1, backupError},
        {Step::Sync, 1, backupError},
        {Step::Rename, 2, writeError},
        {Step::Sync, 2, writeError},
    }};
    for (const WriteFailure& c : cases) {
        RunSetup setup;
        Arrange(setup);
        FailingFileSystem files(c.step, c.failAt);
        const RunOutcome outcome = RunConversion(setup.paths(), files);
        const std::string where = std::string(Name(c.step)) + " #" + std::to_string(c.failAt);
        EXPECT_EQ(outcome.status, RunStatus::WriteError) << where;
        EXPECT_EQ(outcome.message, c.message) << where;
        EXPECT_EQ(outcome.icon, MessageIcon::Exclamation) << where;
        EXPECT_EQ(outcome.focusBox, std::nullopt) << where;
    }
}

}  // namespace
}  // namespace tamsel
