#pragma once

// The window's commands without a toolkit: start-up, the run, browsing, the labels' links,
// the window's keys and the Folder row, filled whenever box 0 comes to name a list (browse,
// drop, a list row, leaving the box). A window builds one over itself and its desktop
// services and calls it from its event handlers.

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
#include "window/key_event.h"
#include "window/path_box_controller.h"
#include "window/run_controller.h"

namespace tamsel {

// `homepage` when configured, else the file URL of the README in the program's folder.
std::string CreditAddress(std::string_view homepage, std::string_view appFolder);

// A local path as a file URL ("file:///..."), "\" written as "/", blanks and the characters
// a URL reserves percent-encoded.
std::string FileUrl(std::string_view path);

// What the commands need of a window: boxes, Folder row, focus and closing.
class FormView : public FolderRowView {
  public:
    virtual ~FormView() = default;

    // The box's whole text, UTF-8; setting it leaves its list alone.
    virtual std::string BoxText(RunInput box) const = 0;
    virtual void SetBoxText(RunInput box, const std::string& text) = 0;
    virtual void FocusBox(RunInput box) = 0;
    // Closes the window, as its close button does when no run goes.
    virtual void CloseWindow() = 0;
};

class FormCommands {
  public:
    using Conversion = std::function<RunOutcome(const RunPaths&)>;

    // Empty `conversion` means RunConversion on `files`, empty `readFolders` ReadListFolders
    // on `files`. The references must outlive the commands.
    FormCommands(FormView& view, DesktopServices& desktop, FileSystem& files = RealFileSystem(),
                 Conversion conversion = {}, FolderReader readFolders = {});

    // From now on Start runs off the window's thread, its progress in `runView` (the
    // commands lock the Folder row with it); until then on the caller's. Destroyed with a
    // run going, they cancel it and wait: a run never stops while the menu is replaced.
    void RunInBackground(RunView& runView, WindowThread& thread);
    // The background run, for its progress dialog's Cancel; nullptr without one.
    RunController* Runs() { return runs_.get(); }

    // The window was asked to close: true when it may now. A run going is cancelled instead
    // and FormView::CloseWindow runs when it has stopped, no outcome shown.
    bool CloseRequested();

    // Sets AppFolder to `programFolder` (empty: ProgramFolder()) ending in one separator,
    // fills each box whose default file exists there and lists box 0's folders.
    // `homepage`: the configured credit address, empty for none.
    void Form_Load(std::string_view programFolder, std::string_view homepage = {});

    const std::string& AppFolder() const { return appFolder_; }
    const std::string& CreditAddress() const { return creditAddress_; }

    // Runs the conversion on the boxes, the chosen folder and AppFolder, shows its message,
    // focuses the box it names and, when done, opens the menu's folder. Not while one goes.
    void btnStart_Click();
    // A chosen path replaces the box's text; a cancelled dialog leaves the box as it was.
    void btnOpen_Click(RunInput box);
    // Opens the folder part of `box`'s text, even when that is empty.
    void lblFile_Click(RunInput box);
    void lblCredits_Click();
    // Files dropped over box `under` (none: elsewhere): DecideDrop's box gets the path, as
    // from a browse. False when refused.
    bool FilesDropped(std::span<const DroppedItem> items, std::optional<RunInput> under);

    // A key went down; `box` holds the focus (nullptr: another control). In this order: an
    // open list takes its keys, then the window Enter (once per press however the platform
    // repeats it, KeyRepeatGuard) and Esc, then the box its own (F2 browses). True when the
    // key is done; false: it goes on to the focused control.
    bool KeyDown(const KeyEvent& key, PathBoxController* box);
    // A key came up, after the focused control handled it (a window hands on every release
    // of Enter, even one an open list took): a box completes on the release of a key
    // pressed since the last modal box, never on a repeat's release.
    void KeyUp(const KeyEvent& key, PathBoxController* box);

    void RowClicked(PathBoxController& box, int row);

    // A box left for one of the program's own windows (message box, dialogs) is entered
    // anew when it comes back, its text selected; only one left for another program's
    // window gets caret and selection back.
    void BoxFocusOut(PathBoxController& box, FocusReason reason);

    // A key went down, or up, in one of the program's modal windows: true when that window
    // may act on it, only for keys pressed while it shows (not the held Enter that pressed
    // Start, its repeats or its release).
    bool ModalKeyDown(const KeyEvent& key);
    bool ModalKeyUp(const KeyEvent& key);

  private:
    // `path` becomes the box's text; box 0's fills the Folder row.
    void FillBox(RunInput box, const std::string& path);
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
    // From Start or the open-file dialog to the last message box: a box's focus goes to
    // the program's own windows.
    bool ownWindows_ = false;
    bool closing_ = false;
    // Last, so that a run still going is cancelled and waited for before the rest goes.
    std::unique_ptr<RunController> runs_;
};

}  // namespace tamsel
