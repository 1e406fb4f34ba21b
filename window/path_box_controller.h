#pragma once

// One path box's behaviour, whatever draws it: entering the box, its keys, completion and
// the list's refill, the keys of its open list, and keeping its text to one line. A window
// forwards the box's raw events here and draws what the controller asks of its view; the
// window's own keys (Enter, Esc, the repeat guard, the release gate) are FormCommands'.

#include <cstddef>
#include <functional>

#include "support/file_system.h"
#include "support/user_folders.h"
#include "window/path_box_view.h"
#include "window/path_boxes.h"
#include "window/path_completion.h"

namespace tamsel {

// Why the keyboard focus entered or left a box.
enum class FocusReason {
    Keyboard,  // Tab or Backtab
    Mouse,     // a click
    Window,    // the window became active, or stopped being so
    Popup,     // a popup of the box's own (its list, its context menu) opened or closed
    Other,     // the program moved it
};

// What becomes of a key that went down in the box.
enum class BoxKey {
    ToField,  // the edit field handles it as usual
    Browse,   // the window shows the box's open-file dialog; the key is done
};

// Where the running user's folders come from; tests hand in a fake home folder.
using UserFoldersSource = std::function<UserFolders()>;

// The browsers' stores that the list's box offers while empty: FindBrowserStores below
// `folders`, in its order, each entry a store's path labelled with its StoreChoiceText.
CompletionEntries StoreChoices(const UserFolders& folders, FileSystem& files = RealFileSystem());

class PathBoxController {
  public:
    // `list` lists a folder for completion; `userFolders` says where the list's box looks
    // for browsers' stores. The view must outlive the controller.
    PathBoxController(PathBoxView& view, RunInput input, FolderLister list = KeepingLister(),
                      UserFoldersSource userFolders = CurrentUserFolders);

    RunInput Input() const { return input_; }

    // The focus entered the box. Entering by Tab, by a click or by the window's first
    // activation selects the whole text, so that typing replaces it; coming back from the
    // box's own popup, or with the window the box held the focus in, keeps caret and
    // selection.
    void FocusIn(FocusReason reason);
    // The focus left the box: the list closes, unless a popup of the box's own took it.
    void FocusOut(FocusReason reason);
    // The mouse button whose press brought the focus came up: the press placed the caret,
    // so the whole text is selected again. Any other click is left alone.
    void ClickEnded();

    // Whether a key belongs to the open list, before any shortcut of the window may take
    // it: Esc, Enter and the walking keys while the list is open.
    bool ClaimsKey(int keyCode, int shift) const;
    // A key went down while the list is open; true when the list took it. Esc and Enter
    // close the list and reach nothing else; Up, Down, Page Up and Page Down without
    // modifiers walk it, putting the current entry into the box; Tab closes it and moves
    // on; every other key goes on to the box. With the list closed every key goes on.
    bool ListKeyDown(int keyCode, int shift);
    // A key went down in the box (after the list and the window passed it on): F2
    // browses; the separator key over a completion's tail moves the caret behind it first.
    BoxKey KeyDown(int keyCode, int shift);
    // A counted key came up, after the edit field handled its character: the keys that
    // start a completion complete the text, refill the list and open it (or close it when
    // nothing matches).
    void KeyUp(int keyCode, int shift);

    bool ListOpen() const { return view_.ListOpen(); }

    // The box's arrow (or its key) was pressed: the list closes when open, else opens. The
    // list's box, empty, offers the browsers' stores found for the user (StoreChoices).
    void ArrowPressed();
    // An entry of the open list was clicked: it goes into the box and the list closes.
    void RowClicked(int row);

    // `typed` without line breaks: whatever comes into a box by pasting or dropping stays
    // one line, the caret and selection moved back by the breaks before them.
    static EditState OneLine(const EditState& typed);

  private:
    void Complete(int keyCode, int shift);

    PathBoxView& view_;
    RunInput input_;
    FolderLister list_;
    UserFoldersSource userFolders_;
    // The last completion; the next one reuses its storage.
    Completion completion_;
    bool leftWithWindow_ = false;
    bool selectAfterClick_ = false;
};

}  // namespace tamsel
