#pragma once

// What a path box does on focus and on its keys, as functions that tell the window what to
// do; the window does it (shows the dialog, moves the caret, runs AutoComplete). Key codes
// are the virtual-key codes of window/virtual_keys.h, `shift` the modifier state.

#include "window/edit_state.h"

namespace tamsel {

enum class BoxAction {
    Nothing,     // leave the key to the edit field's own handling
    Browse,      // show the box's open-file dialog (btnOpen_Click for the box)
    CaretToEnd,  // put the caret behind the text, dropping the selection (CaretAtEnd)
    Complete,    // run AutoComplete on the box
};

// The focus entered the box, by Tab, by the mouse or at start-up: its whole text is
// selected, so that typing replaces it.
EditState txtFile_GotFocus(const EditState& box);

// Whether the selection is the tail a completion added: it runs to the end of the text and
// does not start at its beginning. A whole-text selection is not one.
bool IsCompletionTail(const EditState& box);

// A key went down in the box, before the box handles the character. F2 browses. The
// separator key over a completion's tail moves the caret to the end first, so that the
// separator lands behind the accepted completion instead of replacing it; over any other
// selection the typed separator replaces the selection as every character does. Every key
// also reaches the edit field.
BoxAction txtFile_KeyDown(int keyCode, int shift, const EditState& box);

// A key came up in the box, after the box handled the character: Complete for the keys
// that start a completion, Nothing for every other key, Enter included (Enter presses the
// start button and never reaches the box's own handling).
BoxAction txtFile_KeyUp(int keyCode, int shift);

enum class ListKeyAction {
    Forward,          // the key goes on to the edit field
    Walk,             // move through the list (WalkRow) and put the entry into the box
    Close,            // close the list; the key does nothing else
    CloseAndForward,  // close the list, then the key goes on to the edit field
};

// A key pressed while the box's completion list is open and the focus is in the box. Esc
// and Enter close the list, keeping the box's text, and reach nothing else; the arrows and
// page keys without modifiers walk the list; Tab closes it and moves on.
ListKeyAction CompletionListKey(int keyCode, int shift);

enum class WindowKeyAction {
    Ignore,      // the window takes the key and does nothing with it
    PressStart,  // press the start button, the window's default button
    Pass,        // not the window's key
};

// A key pressed anywhere in the window that no open completion list took. Enter without
// modifiers presses Start, but not the repeats of a held Enter: the repeat that follows the
// closing of the "Done" box must not convert the list a second time. Esc does nothing;
// Alt+Esc is left to the system.
WindowKeyAction WindowKeyDown(int keyCode, int shift, bool autoRepeat);

}  // namespace tamsel
