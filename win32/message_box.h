#pragma once

// The system's message box, wide enough for its caption.

#include <windows.h>

#include <string>

namespace tamsel::win32 {

// Shows MessageBoxW(owner, text, caption, flags) and returns its result. The system sizes
// the box for its text only; a short text ("Done") left the caption cut off behind the
// title bar's buttons, so a narrower box is widened to show the caption, its buttons
// staying centred.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);

// `text` (UTF-8) for a message box over `owner`: its long lines broken at their separators
// to fit about two thirds of the owner's screen in the message font (WrapMessage). The
// system breaks lines only at blanks, and a long path has none.
std::wstring WrappedForMessageBox(HWND owner, const std::string& text);

}  // namespace tamsel::win32
