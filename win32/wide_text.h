#pragma once

// Window texts as UTF-8, over the one UTF-8 <-> UTF-16 converter (support/utf16.h).

#include <windows.h>

#include <string>
#include <string_view>

#include "support/utf16.h"

namespace tamsel::win32 {

inline std::string WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

inline void SetWindowTextUtf8(HWND window, std::string_view utf8) {
    SetWindowTextW(window, Widen(utf8).c_str());
}

}  // namespace tamsel::win32
