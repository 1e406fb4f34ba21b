#pragma once

// One path box's behaviour, whatever draws it: entering it, its keys, completion and its
// list. A window forwards the box's raw events here and draws what it asks of its view; the
// window's own keys are FormCommands'. Key codes are window/virtual_keys.h's, `shift` the
// modifier state.

#include <cstddef>
#include <functional>

#include "support/file_system.h"
#include "support/known_folders.h"
#include "window/path_boxes.h"
#include "window/path_completion.h"

namespace tamsel {

enum class BoxAction {
    Nothing,     // leave the key to the edit field's own handling
    Browse,      // show the box's open-file dialog (btnOpen_Click for the box)
    CaretToEnd,  // put the caret behind the text, dropping the selection (CaretAtEnd)
};

// A key went down in the box, before the box handles it. F2 browses. The separator key over
// a completion's tail (a selection to the end, not from the start) moves the caret to the
// end first, so that it lands behind the completion; any other selection it replaces.
BoxAction txtFile_KeyDown(int keyCode, int shift, const EditState& box);

enum class ListKeyAction {
    Forward,          // the key goes on to the edit field
    Walk,             // move through the list (WalkRow) and put the entry into the box
    Close,            // close the list; the key does nothing else
    CloseAndForward,  // close the list, then the key goes on to the edit field
};

// A key pressed in the box while its list is open. Esc and Enter close the list, keeping the
// text; Up, Down, Page Up and Page Down without modifiers walk it; Tab closes it, moving on.
ListKeyAction CompletionListKey(int keyCode, int shift);

enum class WindowKeyAction {
    Ignore,      // the window takes the key and does nothing with it
    PressStart,  // press the start button, the window's default button
    Pass,        // not the window's key
};

// A key pressed in the window that no open list took. Enter without modifiers presses Start,
// but not its repeats, which would convert the list again after the "Done" box closed. Esc
// does nothing; Alt+Esc is left to the system.
WindowKeyAction WindowKeyDown(int keyCode, int shift, bool autoRepeat);

// Why the keyboard focus entered or left a box.
enum class FocusReason {
    Keyboard,  // Tab or Backtab
    Mouse,     // a click
    Window,    // the window became active, or stopped being so
    Popup,     // a popup of the box's own (its list, its context menu) opened or closed
    Other,     // the program moved it
};

// Where the running user's folders come from; tests hand in a fake home folder.
using UserFoldersSource = std::function<UserFolders()>;

// What the list's box offers while empty: FindBrowserStores below `folders`, in its
// order, each a store's path labelled with its StoreChoiceText.
CompletionEntries StoreChoices(const UserFolders& folders, FileSystem& files = RealFileSystem());

// What the controller needs of the box a window draws: edit field and list.
class PathBoxView {
  public:
    virtual ~PathBoxView() = default;

    virtual EditState Edit() const = 0;
    virtual void ApplyEdit(const EditState& edit) = 0;

    // Replaces the list's entries at once. A large folder's every name may come: a view
    // copies them into its last copy's storage and makes the text only of rows it draws.
    virtual void SetEntries(const CompletionEntries& entries) = 0;
    // Opens the list below the box at its top, no row current, the focus staying in the
    // edit field. An empty list stays closed.
    virtual void ShowList() = 0;
    virtual void CloseList() = 0;  // its entries stay
    virtual bool ListOpen() const = 0;

    // The open list's current row (-1 for none) and how many rows it shows at once.
    virtual int ListRow() const = 0;
    virtual int VisibleRows() const = 0;
    // Makes `row` current and shows its entry in the edit field, as combo boxes do.
    virtual void ChooseRow(int row) = 0;
};

class PathBoxController {
  public:
    // `list` lists folders for completion; `userFolders` is where the list's box looks for
    // browsers' stores. The view must outlive the controller.
    PathBoxController(PathBoxView& view, RunInput input, FolderLister list = KeepingLister(),
                      UserFoldersSource userFolders = CurrentUserFolders);

    RunInput Input() const { return input_; }

    // Entering by Tab, a click or the window's first activation selects the whole text, so
    // that typing replaces it; coming back from the box's own popup, or with the window the
    // box held the focus in, keeps caret and selection.
    void FocusIn(FocusReason reason);
    // The list closes, unless a popup of the box's own took the focus.
    void FocusOut(FocusReason reason);
    // The press that brought the focus placed the caret: its release selects the whole
    // text again. Any other click is left alone.
    void ClickEnded();

    // Whether the open list takes a key (CompletionListKey) before any shortcut of the
    // window may: Esc, Enter and the walking keys, which go nowhere else.
    bool ClaimsKey(int keyCode, int shift) const;
    // A key went down; acts on the open list as CompletionListKey says, a walk putting the
    // entry into the box. True when the list claimed the key.
    bool ListKeyDown(int keyCode, int shift);
    // A key the list and the window passed on (txtFile_KeyDown). True for F2: the window
    // browses; false: the edit field handles the key as usual.
    bool KeyDown(int keyCode, int shift);
    // A counted key came up, after the edit field handled it: a key that starts a
    // completion completes the text and refills the list (closed when nothing matches).
    void KeyUp(int keyCode, int shift);

    bool ListOpen() const { return view_.ListOpen(); }

    // The box's arrow closes the open list, else opens it; the list's box, empty, offers
    // the user's browsers' stores (StoreChoices).
    void ArrowPressed();
    // The clicked entry goes into the box and the list closes.
    void RowClicked(int row);

  private:
    PathBoxView& view_;
    RunInput input_;
    FolderLister list_;
    UserFoldersSource userFolders_;
    Completion completion_;  // the last one; the next reuses its storage
    bool leftWithWindow_ = false;
    bool selectAfterClick_ = false;
};

}  // namespace tamsel
