#pragma once

// A path box's edit field and its keys in the form logic's terms.

#include <windows.h>

#include "window/edit_state.h"

namespace tamsel::win32 {

// The field's text, caret and selection.
EditState ReadEdit(HWND edit);

// Puts text, selection and caret into the field; the caret ends at the state's SelStart.
void ApplyEdit(HWND edit, const EditState& state);

// The modifier keys held now, as the form logic's shift state.
int ModifierState();

// A virtual key as the form logic takes it: a key that types "/" without modifiers, or
// "\" with any, is the separator key; Windows accepts both separators.
int FormKey(int virtualKey, int shift);

}  // namespace tamsel::win32
