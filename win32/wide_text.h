#pragma once

// UTF-8 and UTF-16 texts as the window exchanges them with the system. Unlike the path
// helpers these keep embedded NULs, which the open-file dialog's filter list is made of.

#include <windows.h>

#include <string>
#include <string_view>

namespace tamsel::win32 {

// The UTF-16 form of a UTF-8 text, NULs included; invalid sequences become U+FFFD.
std::wstring Widen(std::string_view utf8);

// The UTF-8 form of a UTF-16 text, NULs included.
std::string Narrow(std::wstring_view wide);

// A window's text as UTF-8.
std::string WindowText(HWND window);

// Replaces a window's text with a UTF-8 text.
void SetWindowTextUtf8(HWND window, std::string_view utf8);

}  // namespace tamsel::win32
