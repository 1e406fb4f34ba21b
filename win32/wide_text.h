#pragma once

// Window texts as UTF-8, over the one UTF-8 <-> UTF-16 converter (support/utf16.h).

#include <windows.h>

#include <string>
#include <string_view>

#include "support/utf16.h"

namespace tamsel::win32 {

// A window's text as UTF-8.
std::string WindowText(HWND window);

// Replaces a window's text with a UTF-8 text.
void SetWindowTextUtf8(HWND window, std::string_view utf8);

}  // namespace tamsel::win32
