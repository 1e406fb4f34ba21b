#pragma once

// What a path box and the window do on focus and on keys, as functions that say what to do.
// Key codes are those of window/virtual_keys.h, `shift` the modifier state.

#include "window/edit_state.h"

namespace tamsel {

enum class BoxAction {
    Nothing,     // leave the key to the edit field's own handling
    Browse,      // show the box's open-file dialog (btnOpen_Click for the box)
    CaretToEnd,  // put the caret behind the text, dropping the selection (CaretAtEnd)
    Complete,    // run AutoComplete on the box
};

// The focus entered the box: its whole text is selected, so that typing replaces it.
EditState txtFile_GotFocus(const EditState& box);

// A key went down in the box, before the box handles it. F2 browses. The separator key over
// a completion's tail (a selection to the end that does not start the text) moves the caret
// to the end first, so that the separator lands behind the accepted completion; over any
// other selection it replaces the selection as every character does.
BoxAction txtFile_KeyDown(int keyCode, int shift, const EditState& box);

// A key came up in the box, after the box handled it: Complete for the keys that start a
// completion, Nothing for every other key (Enter presses Start and never reaches the box).
BoxAction txtFile_KeyUp(int keyCode, int shift);

enum class ListKeyAction {
    Forward,          // the key goes on to the edit field
    Walk,             // move through the list (WalkRow) and put the entry into the box
    Close,            // close the list; the key does nothing else
    CloseAndForward,  // close the list, then the key goes on to the edit field
};

// A key pressed in the box while its list is open. Esc and Enter close the list, keeping the
// text; the arrows and page keys without modifiers walk it; Tab closes it and moves on.
ListKeyAction CompletionListKey(int keyCode, int shift);

enum class WindowKeyAction {
    Ignore,      // the window takes the key and does nothing with it
    PressStart,  // press the start button, the window's default button
    Pass,        // not the window's key
};

// A key pressed in the window that no open list took. Enter without modifiers presses Start,
// but not its repeats: the repeat that follows the closing of the "Done" box must not convert
// the list a second time. Esc does nothing; Alt+Esc is left to the system.
WindowKeyAction WindowKeyDown(int keyCode, int shift, bool autoRepeat);

}  // namespace tamsel
