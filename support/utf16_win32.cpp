#include "support/utf16.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <climits>

#include "support/path.h"

namespace tamsel {

// The system counts in int: a longer text converts to nothing rather than to a cut one.

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty() || wide.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

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
