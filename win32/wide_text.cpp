#include "win32/wide_text.h"

#include <vector>

namespace tamsel::win32 {

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(window, buffer.data(), length + 1);
    return Narrow(std::wstring_view(buffer.data(), static_cast<std::size_t>(read)));
}

void SetWindowTextUtf8(HWND window, std::string_view utf8) {
    SetWindowTextW(window, Widen(utf8).c_str());
}

}  // namespace tamsel::win32
