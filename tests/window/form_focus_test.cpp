// Where the keyboard focus goes, and what it selects, after the program's own windows: a
// run's lock and progress dialog, its message box, the open-file dialog; with the focus moved
// as each toolkit moves it. A box the focus comes back to is entered anew, its whole text
// selected; only a box that left with the window for another program, or for its own
// list, gets its caret back.

#include <array>
#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "fake_path_box.h"
#include "fake_window_thread.h"
#include "window/form_commands.h"

namespace tamsel {
namespace {

using test::FakeBox;

// How a toolkit moves the focus around the program's own windows.
struct Toolkit {
    const char* name;
    // True: the focus comes back as a modal window closes, before the call that showed it
    // returns (Win32). False: only when the window is active again, after the command, to
    // whichever box was focused meanwhile (Qt, which gives an inactive window's box the
    // focus without telling it).
    bool backAtOnce;
    // Why a box locked for a run loses the focus, and why it gets it back afterwards.
    FocusReason locked;
    FocusReason unlocked;
};

constexpr Toolkit kQt{"Qt", false, FocusReason::Other, FocusReason::Other};
constexpr Toolkit kWin32{"Win32", true, FocusReason::Window, FocusReason::Window};

class FocusWindow final : public FormView, public DesktopServices, public RunView {
  public:
    explicit FocusWindow(const Toolkit& toolkit) : toolkit_(toolkit) {}

    std::array<FakeBox, kPathBoxCount> boxes;
    std::optional<RunInput> focused;
    FormCommands* commands = nullptr;

    PathBoxController& Controller(RunInput box) { return controllers_[Index(box)]; }

    void Move(std::optional<RunInput> to, FocusReason out, FocusReason in) {
        if (focused) {
            commands->BoxFocusOut(Controller(*focused), out);
        }
        focused = to;
        if (to) {
            Controller(*to).FocusIn(in);
        }
    }
    // The window is active again after the command (Qt's late return).
    void Activate() {
        if (std::exchange(inactive_, false) && focused) {
            Controller(*focused).FocusIn(FocusReason::Window);
        }
    }

    std::string BoxText(RunInput box) const override { return boxes[Index(box)].edit.text; }
    void SetBoxText(RunInput box, const std::string& text) override {
        boxes[Index(box)].edit = CaretAtEnd(text);
    }
    void FocusBox(RunInput box) override {
        if (inactive_) {
            focused = box;
        } else {
            Move(box, FocusReason::Other, FocusReason::Other);
        }
    }
    void CloseWindow() override {}
    // No Folder row.
    void SetFolderRows(const std::vector<std::string>&, int) override {}
    int ChosenFolderRow() const override { return 0; }
    void EnableFolderRow(bool) override {}

    void ShowMessage(const std::string&, MessageIcon) override { Modal(); }
    std::string ShowOpenDialog(const OpenDialogRequest&) override {
        Modal();
        return {};
    }
    // The file manager takes the activation; the user comes back to the window later.
    void OpenFolder(const std::string&) override {
        const std::optional<RunInput> box = focused;
        Move(std::nullopt, FocusReason::Window, {});
        Move(box, {}, FocusReason::Window);
    }
    void OpenAddress(const std::string&) override {}

    void SetBusy(bool busy) override {
        if (busy) {
            beforeLock_ = focused;
            Move(std::nullopt, toolkit_.locked, {});
        } else {
            Move(beforeLock_, {}, toolkit_.unlocked);
        }
    }
    void ShowProgress(const RunProgress&) override {}
    void CloseProgress() override {}

  private:
    static std::size_t Index(RunInput box) { return static_cast<std::size_t>(box); }

    // A modal window shows and closes: the focused box leaves with the window.
    void Modal() {
        const std::optional<RunInput> box = focused;
        Move(std::nullopt, FocusReason::Window, {});
        if (toolkit_.backAtOnce) {
            Move(box, {}, FocusReason::Window);
        } else {
            focused = box;
            inactive_ = true;
        }
    }

    Toolkit toolkit_;
    std::array<PathBoxController, kPathBoxCount> controllers_{
        PathBoxController{boxes[0], RunInput::List, NoListing},
        PathBoxController{boxes[1], RunInput::Menu, NoListing}};
    std::optional<RunInput> beforeLock_;
    bool inactive_ = false;

    static void NoListing(std::string_view, unsigned, std::vector<std::string>& names) {
        names.clear();
    }
};

enum class Away { Run, Dialog, AnotherProgram, OwnList };

struct Case {
    const char* what;
    Away away;
    RunInput from;
    RunInput to;
    bool wholeTextSelected;  // else the caret stays where it was
    RunStatus status = RunStatus::Done;
    std::optional<RunInput> named = std::nullopt;  // the box the outcome names
    bool progress = false;                         // the run shows its progress dialog
};

TEST(FormFocus, TheBoxTheFocusComesBackToIsEnteredAnewAfterTheProgramsOwnWindows) {
    const Case cases[] = {
        {"Done", Away::Run, RunInput::List, RunInput::List, true},
        {"Done, with progress", Away::Run, RunInput::Menu, RunInput::Menu, true, RunStatus::Done,
         std::nullopt, true},
        {"nothing to add", Away::Run, RunInput::Menu, RunInput::Menu, true,
         RunStatus::NothingToAdd},
        {"the list missing", Away::Run, RunInput::Menu, RunInput::List, true, RunStatus::InputError,
         RunInput::List},
        {"the menu missing", Away::Run, RunInput::List, RunInput::Menu, true, RunStatus::InputError,
         RunInput::Menu},
        {"the menu missing, named box focused", Away::Run, RunInput::Menu, RunInput::Menu, true,
         RunStatus::InputError, RunInput::Menu},
        {"a write error", Away::Run, RunInput::List, RunInput::List, true, RunStatus::WriteError},
        {"cancelled", Away::Run, RunInput::List, RunInput::List, true, RunStatus::Cancelled,
         std::nullopt, true},
        {"the open-file dialog", Away::Dialog, RunInput::Menu, RunInput::Menu, true},
        {"another program", Away::AnotherProgram, RunInput::Menu, RunInput::Menu, false},
        {"the box's own list", Away::OwnList, RunInput::List, RunInput::List, false},
    };
    const std::string text = "/some/path";
    const EditState caret{text, 3, 0};
    for (const Toolkit& toolkit : {kQt, kWin32}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(toolkit.name) + ": " + c.what);
            FocusWindow window(toolkit);
            test::FakeWindowThread loop;
            std::atomic<bool> letGo = false;
            FormCommands commands(window, window, RealFileSystem(), [&](const RunPaths&) {
                while (!letGo) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                return RunOutcome{c.status, "message", MessageIcon::Information, c.named, "/m/"};
            });
            window.commands = &commands;
            commands.RunInBackground(window, loop);
            window.Move(c.from, {}, FocusReason::Keyboard);
            window.boxes = {FakeBox{}, FakeBox{}};
            window.boxes[0].edit = window.boxes[1].edit = caret;  // a click placed the caret

            switch (c.away) {
                case Away::Run:
                    commands.btnStart_Click();
                    if (c.progress) {
                        loop.FireTimers();
                    }
                    letGo = true;
                    ASSERT_TRUE(loop.RunUntil([&] { return !commands.Runs()->Running(); }));
                    break;
                case Away::Dialog:
                    commands.btnOpen_Click(c.from);
                    break;
                case Away::AnotherProgram:
                    window.Move(std::nullopt, FocusReason::Window, {});
                    window.Move(c.from, {}, FocusReason::Window);
                    break;
                case Away::OwnList:
                    window.Move(std::nullopt, FocusReason::Popup, {});
                    window.Move(c.from, {}, FocusReason::Popup);
                    break;
            }
            window.Activate();
            EXPECT_EQ(window.focused, c.to);
            const EditState& box = window.boxes[static_cast<std::size_t>(c.to)].edit;
            EXPECT_EQ(box, c.wholeTextSelected ? WholeTextSelected(text) : caret);
        }
    }
}

}  // namespace
}  // namespace tamsel
