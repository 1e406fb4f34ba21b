#include "support/utf8_path.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <climits>
#endif

namespace tamsel {

bool IsPassablePath(std::string_view path) {
    return !path.empty() && path.find('\0') == std::string_view::npos;
}

#ifdef _WIN32

std::wstring WidenUtf8(std::string_view utf8) {
    if (!IsPassablePath(utf8) || utf8.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int length = static_cast<int>(utf8.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    if (needed <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), needed);
    return wide;
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
    std::wstring wide = WidenUtf8(utf8);
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

std::string NarrowToUtf8(std::wstring_view wide) {
    if (wide.empty() || wide.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int length = static_cast<int>(wide.size());
    const int needed =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return {};
    }
    std::string utf8(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), needed, nullptr, nullptr);
    return utf8;
}

#endif  // _WIN32

}  // namespace tamsel
