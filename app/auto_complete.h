#pragma once

// Completion of a typed path from the file system, run on the release of a key in a box.

class QComboBox;
class QLineEdit;

// Whether a selection (`selStart` and `selLength` in characters, in a text of
// `textLength`) is the tail that a completion added: it runs to the end of the text and
// leaves the start of the text unselected.
bool IsCompletionTail(int selStart, int selLength, int textLength);

// Whether the key starts a completion: the period and backslash keys, the letters A to Z
// whatever modifiers are held, and the main row's digits only when none is held.
bool StartsCompletion(int keyCode, int shift);

// Completes a plain text box. Only when the key starts a completion, the caret stands at
// the end of the text with nothing selected and the text holds 3 to 249 characters: the
// text's folder is listed for the entries whose names begin with the text's last element
// (in any case, "." and ".." at the head of the listing skipped); the first one completes
// the text, the added characters selected behind the caret, which stays behind the typed
// part. The backslash key, or no match, leaves the typed text with the caret at its end.
// `keyCode` is set to 0 after such an attempt and left alone otherwise.
void AutoComplete(QLineEdit& ctl, int& keyCode, int shift);

// Completes a combo box as above, and also fills its list with every matching entry (the
// text's folder part as typed followed by the entry's name, in listing order) and opens it
// with showPopup(); an empty list is closed with hidePopup(). The window is not redrawn
// between emptying the list and opening it. Does nothing for a box that is not editable.
void AutoComplete(QComboBox& ctl, int& keyCode, int shift);
