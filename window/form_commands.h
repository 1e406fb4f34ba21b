#pragma once

// The window's commands without a toolkit: start-up defaults, the conversion run, browsing
// for a path box's file, opening a path's folder and the credit's address, and when the
// Folder row lists the folders of box 0's list. A window builds
// one FormCommands over itself (as the FormView) and its desktop services and calls these
// from its event handlers.

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "convert/conversion_run.h"
#include "support/file_system.h"
#include "window/desktop_services.h"
#include "window/file_drop.h"
#include "window/folder_row.h"
#include "window/form_view.h"
#include "window/key_event.h"
#include "window/key_repeat.h"
#include "window/path_box_controller.h"
#include "window/path_box_keys.h"
#include "window/run_controller.h"

namespace tamsel {

// The address behind the credit line: `homepage` when one was configured, else the file
// URL of the README shipped in the program's folder.
std::string CreditAddress(std::string_view homepage, std::string_view appFolder);

// A local path as a file URL ("file:///..."), blanks and the characters a URL reserves
// percent-encoded, "\" written as "/".
std::string FileUrl(std::string_view path);

class FormCommands {
  public:
    using Conversion = std::function<RunOutcome(const RunPaths&)>;

    // `conversion` runs the start button's conversion; empty means RunConversion on
    // `files`. `readFolders` lists the Folder row's folders; empty means ReadListFolders on
    // `files`. The references must outlive the commands.
    FormCommands(FormView& view, DesktopServices& desktop, FileSystem& files = RealFileSystem(),
                 Conversion conversion = {}, FolderReader readFolders = {});

    // From now on Start runs the conversion off the window's thread (RunController), showing
    // its progress in `runView`, which locks the window's other controls while the commands
    // lock the Folder row; until then it runs on the caller's thread. The references must
    // outlive the commands. Commands destroyed with a run going cancel the run and wait
    // for it: it never stops while the menu is being replaced.
    void RunInBackground(RunView& runView, WindowThread& thread);
    // The background run, to cancel from its progress dialog; nullptr without one.
    RunController* Runs() { return runs_.get(); }

    // The window was asked to close, by its close button, Alt+F4 or the window manager.
    // True when it may close now. While a run goes it may not: the run is cancelled and
    // stops at its next safe point (or finishes a replacement already begun), and then the
    // window closes (FormView::CloseWindow) without showing the outcome.
    bool CloseRequested();

    // Sets AppFolder to `programFolder` (empty: the program's own folder, as ProgramFolder
    // gives it, symbolic links resolved) ending in one platform separator, and fills each path
    // box whose default file exists there with content; a missing or empty default leaves
    // its box as it was. The Folder row lists the folders of box 0's list, if any.
    // `homepage` is the configured credit address, empty for none.
    void Form_Load(std::string_view programFolder, std::string_view homepage = {});

    const std::string& AppFolder() const { return appFolder_; }
    // The credit line's address, for its tooltip.
    const std::string& CreditAddress() const { return creditAddress_; }

    // Runs the conversion on the two boxes' texts, the Folder row's folder and AppFolder
    // (FolderRow::ChosenFolder), shows its message, puts
    // the focus into the box the outcome names and, after a finished run, opens the menu
    // file's folder. While a background run goes it does nothing.
    void btnStart_Click();
    // Browses for the file of `box`: a chosen path replaces the box's text (box 0's then
    // fills the Folder row), a cancelled dialog leaves it exactly as it was.
    void btnOpen_Click(RunInput box);
    // Opens the folder part of `box`'s text, even when that is empty.
    void lblFile_Click(RunInput box);
    // Opens the credit's address.
    void lblCredits_Click();
    // Files were dropped on the window, the pointer over the path box `under` (none:
    // elsewhere): the box DecideDrop chooses gets the path as its whole text, as from a
    // browse. False when the drop is refused; nothing changes then.
    bool FilesDropped(std::span<const DroppedItem> items, std::optional<RunInput> under);

    // A key went down in the window. `box` is the path box that holds the focus, nullptr
    // when another control has it. In this order: an open completion list takes its keys;
    // then the window takes Enter and Esc (WindowKeyDown); then the box its own (F2
    // browses). A key that closes box 0's list fills the Folder row. True when the key is
    // done; false when it goes on to the focused control.
    bool KeyDown(const KeyEvent& key, PathBoxController* box);
    // A key came up in the window, after the focused control handled it: the repeat guard
    // sees every release; a box completes on the release of a key whose press the window
    // saw since the last modal box, and never on a repeat's release.
    void KeyUp(const KeyEvent& key, PathBoxController* box);

    // A row of `box`'s open list was clicked: it goes into the box (PathBoxController::
    // RowClicked), and box 0's path fills the Folder row.
    void RowClicked(PathBoxController& box, int row);

    // The focus left a path box for `reason`; the box's controller is told, and the Folder
    // row lists box 0's list when that box names another one now. A box whose
    // focus went to a window of the program's own (a message box, the open-file dialog, the
    // progress dialog) or to a run that locked it is entered anew when the focus comes back,
    // its whole text selected; only a box that left with the window for another program's
    // gets its caret and selection back.
    void BoxFocusOut(PathBoxController& box, FocusReason reason);

    // A key went down, or came up, in a modal window of the program's own (a message box,
    // a dialog, the progress dialog): true when that window may act on it. Such a window
    // answers only keys pressed while it shows: a key held from before, such as the Enter
    // that pressed Start, repeats into it, and neither its repeats nor its release count.
    bool ModalKeyDown(const KeyEvent& key);
    bool ModalKeyUp(const KeyEvent& key);

    // A key went down in the window (any control).
    void KeyPressed(int keyCode);
    // Whether the window should act on the release of `keyCode`: only when its press came
    // to the window after the last modal box closed. The release of a key that dismissed a
    // message box or a dialog, or that was pressed before one opened, does nothing.
    bool KeyReleased(int keyCode);

    // A key went down in the window and no open completion list took it, with the time and
    // repeat flag its event carries. Enter presses Start once per press of the key, however
    // long it is held and however the platform repeats it (KeyRepeatGuard); the press of
    // Enter that closed a completion list is followed only by repeats, so it runs nothing
    // either. Esc does nothing.
    WindowKeyAction WindowKeyDown(int keyCode, int shift, KeyTime time, bool flaggedRepeat);
    // A key came up in the window. The window hands on at least every release of Enter,
    // including one that reaches an open completion list.
    void WindowKeyUp(int keyCode, KeyTime time);

  private:
    // The window's run view, with the Folder row locked and unlocked around its controls.
    class LockingRunView final : public RunView {
      public:
        LockingRunView(RunView& window, FolderRow& row) : window_(window), row_(row) {}
        void SetBusy(bool busy) override;
        void ShowProgress(const RunProgress& progress) override { window_.ShowProgress(progress); }
        void CloseProgress() override { window_.CloseProgress(); }

      private:
        RunView& window_;
        FolderRow& row_;
    };

    // Box 0 came to name `path`: the Folder row lists its folders.
    void ListNamed(RunInput box, const std::string& path, bool onlyWhenChanged = false);
    void AfterModal();
    void RunEnded(const RunOutcome& outcome);
    void ShowOutcome(const RunOutcome& outcome);

    FormView& view_;
    DesktopServices& desktop_;
    FileSystem& files_;
    RunController::Work conversion_;
    FolderRow folderRow_;
    std::unique_ptr<LockingRunView> runView_;
    std::string appFolder_;
    std::string creditAddress_;
    std::set<int> pressedKeys_;
    std::set<int> modalKeys_;  // pressed in the modal window showing now
    KeyRepeatGuard repeats_;
    // From Start, or the open-file dialog, to the last message box: the focus that leaves a
    // box meanwhile goes to the program's own windows.
    bool ownWindows_ = false;
    bool closing_ = false;
    // Last, so that a run still going is cancelled and waited for before the rest goes.
    std::unique_ptr<RunController> runs_;
};

}  // namespace tamsel
