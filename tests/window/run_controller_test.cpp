// Start through the window's commands with a run off the window's thread: a fake window
// loop that runs posted work and timers when the test says, a file layer that holds the run
// still where the test wants it, and the real conversion on real files.

#include "window/run_controller.h"

#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../convert/run_setup.h"
#include "fake_window_thread.h"
#include "test_support/other_run_lock.h"
#include "test_support/plain_file_system.h"
#include "window/form_commands.h"

namespace tamsel {
namespace {

using Log = std::vector<std::string>;
using test::FakeWindowThread;
using test::RunSetup;

// The machine's files, but reading the list stops before its first line until opened.
class GatedFiles final : public test::PlainFileSystem {
  public:
    bool ReadLines(const std::string& path, const LineHandler& onLine) override {
        std::unique_lock<std::mutex> hold(mutex_);
        reached_ = true;
        changed_.notify_all();
        changed_.wait(hold, [this] { return open_; });
        hold.unlock();
        return PlainFileSystem::ReadLines(path, onLine);
    }

    bool Reached() {
        std::unique_lock<std::mutex> hold(mutex_);
        return changed_.wait_for(hold, std::chrono::seconds(10), [this] { return reached_; });
    }
    void Open() {
        const std::lock_guard<std::mutex> hold(mutex_);
        open_ = true;
        changed_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool reached_ = false;
    bool open_ = false;
};

class Window final : public FormView, public RunView {
  public:
    explicit Window(Log& log) : log_(log) {}
    std::array<std::string, kPathBoxCount> texts;

    std::string BoxText(RunInput box) const override {
        return texts[static_cast<std::size_t>(box)];
    }
    void SetBoxText(RunInput box, const std::string& text) override {
        texts[static_cast<std::size_t>(box)] = text;
    }
    void FocusBox(RunInput box) override {
        log_.push_back("focus " + std::to_string(static_cast<int>(box)));
    }
    void CloseWindow() override { log_.push_back("window closed"); }
    // No Folder row.
    void SetFolderRows(const std::vector<std::string>&, int) override {}
    int ChosenFolderRow() const override { return 0; }
    void EnableFolderRow(bool) override {}
    void SetBusy(bool busy) override { log_.push_back(busy ? "busy" : "idle"); }
    void ShowProgress(const RunProgress& progress) override {
        log_.push_back("progress " + progress.text);
    }
    void CloseProgress() override { log_.push_back("close"); }

  private:
    Log& log_;
};

class Desktop final : public DesktopServices {
  public:
    explicit Desktop(Log& log) : log_(log) {}
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        log_.push_back("message " + text + (icon == MessageIcon::Exclamation ? " (!)" : " (i)"));
    }
    std::string ShowOpenDialog(const OpenDialogRequest&) override { return {}; }
    void OpenFolder(const std::string& folder) override { log_.push_back("folder " + folder); }
    void OpenAddress(const std::string&) override {}

  private:
    Log& log_;
};

std::map<std::string, std::string> FilesUnder(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[test::ToUtf8(entry.path())] = test::ReadFileBytes(entry.path());
        }
    }
    return files;
}

enum class Holdup { ListRead, OtherRunsLock };
enum class End { LetGo, Cancel, CloseWindow };

struct Case {
    const char* name;
    Holdup holdup;
    End end;
    Log log;  // from the first timer on
};

// The run is held still, by a slow list or another run's lock, while the window's loop
// goes on: its timers fire and its posted work runs, the progress dialog says what the run
// waits for, and a second Start does nothing. Cancel then leaves every file byte for byte
// as it was, and so does closing the window, which closes once the run has stopped and
// shows nothing; a run let go ends as a run on the window's thread would, once the
// controls are back.
TEST(RunController, WindowAnswersWhileTheRunIsHeldAndCancelChangesNothing) {
    const Case cases[] = {
        {"slow list, cancelled",
         Holdup::ListRead,
         End::Cancel,
         {"progress Reading the list...", "progress Reading the list...", "close", "idle",
          "message Cancelled (i)"}},
        {"lock held, cancelled",
         Holdup::OtherRunsLock,
         End::Cancel,
         {"progress Waiting for another run to finish with the Links.xml...",
          "progress Waiting for another run to finish with the Links.xml...", "close", "idle",
          "message Cancelled (i)"}},
        {"slow list, let go",
         Holdup::ListRead,
         End::LetGo,
         {"progress Reading the list...", "progress Reading the list...", "close", "idle",
          "message Done (i)", "folder"}},
        {"lock held, window closed",
         Holdup::OtherRunsLock,
         End::CloseWindow,
         {"progress Waiting for another run to finish with the Links.xml...",
          "progress Waiting for another run to finish with the Links.xml...", "close", "idle",
          "window closed"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunSetup setup;
        setup.writeList("T\r\nhttp://t.org/\r\n");
        const auto before = FilesUnder(setup.temp().root());
        LockAttempt other;
        if (c.holdup == Holdup::OtherRunsLock) {
            other = test::LockAsAnotherRun(setup.paths().linksPath);
            ASSERT_EQ(other.state, LockState::Held);
        }
        Log log;
        Window window(log);
        Desktop desktop(log);
        GatedFiles files;
        FakeWindowThread loop;
        FormCommands commands(window, desktop, files);
        commands.RunInBackground(window, loop);
        commands.Form_Load(setup.paths().appFolder);
        window.texts = {setup.paths().listPath, setup.paths().linksPath};

        commands.btnStart_Click();
        EXPECT_EQ(log, Log{"busy"});
        log.clear();
        RunController& run = *commands.Runs();
        if (c.holdup == Holdup::ListRead) {
            ASSERT_TRUE(files.Reached());
        } else {
            ASSERT_TRUE(loop.RunUntil([&run] { return run.Progress().waiting; }));
            files.Open();
        }
        // The window's loop goes on while the run is held: a timer and posted work.
        bool answered = false;
        loop.Post([&answered] { answered = true; });
        ASSERT_TRUE(loop.RunUntil([&answered] { return answered; }));
        EXPECT_EQ(loop.FireTimers(), 1);
        EXPECT_EQ(loop.FireTimers(), 1) << "the dialog is kept up to date";
        commands.btnStart_Click();
        EXPECT_TRUE(run.Running());
        if (c.end == End::Cancel) {
            run.Cancel();
        } else if (c.end == End::CloseWindow) {
            EXPECT_FALSE(commands.CloseRequested()) << "not while the run goes";
        }
        files.Open();
        ASSERT_TRUE(loop.RunUntil([&run] { return !run.Running(); }));
        loop.FireTimers();  // the last refresh finds the run over and shows nothing
        EXPECT_TRUE(commands.CloseRequested()) << "with no run going";
        if (c.end == End::LetGo) {
            ASSERT_EQ(log.back().rfind("folder ", 0), 0u);
            log.back() = "folder";
        }
        EXPECT_EQ(log, c.log);
        other.lock.reset();
        std::filesystem::remove(setup.temp().path(std::string(RunSetup::kMenu) + ".lock"));
        if (c.end != End::LetGo) {
            EXPECT_EQ(FilesUnder(setup.temp().root()), before);
        } else {
            EXPECT_NE(setup.menu(), before.at(setup.paths().linksPath));
        }
    }
}

}  // namespace
}  // namespace tamsel
