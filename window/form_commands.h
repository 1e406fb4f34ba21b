#pragma once

// The window's commands without a toolkit: start-up defaults, the conversion run, browsing
// for a box's file, opening a path's folder and the credit's address, the window's keys, and
// when the Folder row lists the folders of box 0's list. A window builds one FormCommands
// over itself and its desktop services and calls these from its event handlers.

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
#include "window/path_box_controller.h"
#include "window/run_controller.h"

namespace tamsel {

// The credit line's address: `homepage` when configured, else the file URL of the README
// in the program's folder.
std::string CreditAddress(std::string_view homepage, std::string_view appFolder);

// A local path as a file URL ("file:///..."), "\" written as "/", blanks and the characters
// a URL reserves percent-encoded.
std::string FileUrl(std::string_view path);

class FormCommands {
  public:
    using Conversion = std::function<RunOutcome(const RunPaths&)>;

    // Empty `conversion` means RunConversion on `files`, empty `readFolders` ReadListFolders
    // on `files`. The references must outlive the commands.
    FormCommands(FormView& view, DesktopServices& desktop, FileSystem& files = RealFileSystem(),
                 Conversion conversion = {}, FolderReader readFolders = {});

    // From now on Start runs the conversion off the window's thread, its progress shown in
    // `runView` (which locks the window's controls; the commands lock the Folder row);
    // until then it runs on the caller's thread. Commands destroyed with a run going cancel
    // it and wait: it never stops while the menu is being replaced.
    void RunInBackground(RunView& runView, WindowThread& thread);
    // The background run, for its progress dialog's Cancel; nullptr without one.
    RunController* Runs() { return runs_.get(); }

    // The window was asked to close (close button, Alt+F4, window manager): true when it may
    // close now. While a run goes it is cancelled instead, and when it has stopped (or
    // finished a replacement already begun) FormView::CloseWindow runs, no outcome shown.
    bool CloseRequested();

    // Sets AppFolder to `programFolder` (empty: ProgramFolder(), links resolved) ending in
    // one separator, fills each box whose default file exists there (a missing default
    // leaves its box alone) and lists box 0's folders. `homepage` is the configured credit
    // address, empty for none.
    void Form_Load(std::string_view programFolder, std::string_view homepage = {});

    const std::string& AppFolder() const { return appFolder_; }
    // The credit line's address, for its tooltip.
    const std::string& CreditAddress() const { return creditAddress_; }

    // Runs the conversion on the boxes' texts, FolderRow::ChosenFolder and AppFolder, shows
    // its message, focuses the box the outcome names and, after a finished run, opens the
    // menu file's folder. Does nothing while a background run goes.
    void btnStart_Click();
    // Browses for `box`'s file: a chosen path replaces the text (box 0's fills the Folder
    // row); a cancelled dialog leaves the box exactly as it was.
    void btnOpen_Click(RunInput box);
    // Opens the folder part of `box`'s text, even when that is empty.
    void lblFile_Click(RunInput box);
    void lblCredits_Click();
    // Files were dropped, the pointer over box `under` (none: elsewhere): the box DecideDrop
    // chooses gets the path as its whole text, as from a browse. False when refused.
    bool FilesDropped(std::span<const DroppedItem> items, std::optional<RunInput> under);

    // A key went down; `box` holds the focus (nullptr: another control). In this order: an
    // open list takes its keys, then the window Enter and Esc (WindowKeyDown), then the box
    // its own (F2 browses). A key that closes box 0's list fills the Folder row. True when
    // the key is done; false when it goes on to the focused control.
    bool KeyDown(const KeyEvent& key, PathBoxController* box);
    // A key came up, after the focused control handled it: the repeat guard sees every
    // release; a box completes on the release of a key whose press the window saw since the
    // last modal box, never on a repeat's release.
    void KeyUp(const KeyEvent& key, PathBoxController* box);

    // A row of `box`'s open list was clicked: it goes into the box, and box 0's path fills
    // the Folder row.
    void RowClicked(PathBoxController& box, int row);

    // The focus left a box for `reason`; the Folder row lists box 0's list when it names
    // another one now. A box whose focus went to one of the program's own windows (message
    // box, open-file or progress dialog) is entered anew when it comes back, its whole text
    // selected; only a box left for another program's window gets caret and selection back.
    void BoxFocusOut(PathBoxController& box, FocusReason reason);

    // A key went down, or came up, in one of the program's own modal windows: true when that
    // window may act on it. It answers only keys pressed while it shows: a key held from
    // before (the Enter that pressed Start) repeats into it, and its repeats and release
    // do not count.
    bool ModalKeyDown(const KeyEvent& key);
    bool ModalKeyUp(const KeyEvent& key);

    // A key went down in the window (any control).
    void KeyPressed(int keyCode);
    // Whether the window acts on the release of `keyCode`: only when its press came after
    // the last modal box closed, not when the key dismissed a message box or a dialog.
    bool KeyReleased(int keyCode);

    // A key no open list took went down in the window. Enter presses Start once per press
    // of the key, however the platform repeats it (KeyRepeatGuard), so the Enter that closed
    // a list runs nothing either; Esc does nothing.
    WindowKeyAction WindowKeyDown(int keyCode, int shift, KeyTime time, bool flaggedRepeat);
    // A key came up; a window hands on at least every release of Enter, even one that
    // reaches an open list.
    void WindowKeyUp(int keyCode, KeyTime time);

  private:
    // Box 0 came to name `path`: the Folder row lists its folders.
    void ListNamed(RunInput box, const std::string& path, bool onlyWhenChanged = false);
    void ListBoxText(const PathBoxController& box, bool onlyWhenChanged = false);
    void AfterModal();
    void RunEnded(const RunOutcome& outcome);
    void ShowOutcome(const RunOutcome& outcome);

    FormView& view_;
    DesktopServices& desktop_;
    FileSystem& files_;
    RunController::Work conversion_;
    FolderRow folderRow_;
    std::unique_ptr<RunView> runView_;  // the window's, the Folder row locked with it
    std::string appFolder_;
    std::string creditAddress_;
    std::set<int> pressedKeys_;
    std::set<int> modalKeys_;  // pressed in the modal window showing now
    KeyRepeatGuard repeats_;
    // From Start or the open-file dialog to the last message box: focus that leaves a box
    // meanwhile goes to the program's own windows.
    bool ownWindows_ = false;
    bool closing_ = false;
    // Last, so that a run still going is cancelled and waited for before the rest goes.
    std::unique_ptr<RunController> runs_;
};

}  // namespace tamsel
