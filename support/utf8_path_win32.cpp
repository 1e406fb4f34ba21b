#include "support/utf8_path.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "support/utf16.h"

namespace tamsel {

namespace {

// CreateDirectoryW stops 12 characters short of MAX_PATH (room for an 8.3 name), so from
// here on a path takes the long form.
constexpr std::size_t kLongPathFrom = MAX_PATH - 12;

std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return {};
    }
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return {};
    }
    full.resize(length);
    return full;
}

}  // namespace

std::wstring WidenPath(std::string_view utf8) {
    if (!IsPassablePath(utf8)) {
        return {};
    }
    std::wstring wide = Widen(utf8);
    if (wide.size() < kLongPathFrom || wide.starts_with(LR"(\\?\)") ||
        wide.starts_with(LR"(\\.\)")) {
        return wide;
    }
    // The long form is taken literally, so "/", "." and ".." must be resolved first.
    const std::wstring full = FullPath(wide);
    if (full.starts_with(LR"(\\)")) {
        return LR"(\\?\UNC\)" + full.substr(2);
    }
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') {
        return LR"(\\?\)" + full;
    }
    return wide;
}

}  // namespace tamsel
