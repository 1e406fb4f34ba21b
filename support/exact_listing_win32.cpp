#include "support/exact_listing.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <type_traits>

#include "support/native_file.h"
#include "support/path.h"
#include "support/utf16.h"

namespace tamsel {

namespace {

struct CloseFind {
    void operator()(HANDLE find) const { FindClose(find); }
};
using Find = std::unique_ptr<std::remove_pointer_t<HANDLE>, CloseFind>;

// Whether `folder` is a folder of a local file system that finds a name in any letter
// case by the system's upper-case table and by nothing else: no Unicode forms, no server
// with rules of its own. A folder reached through a link counts where the link leads.
bool IsFolderComparingByUpperCase(const std::wstring& folder) {
    const native::File handle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!handle.Valid() || !GetFileInformationByHandle(handle.Get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return false;
    }
    constexpr std::array<std::wstring_view, 5> kFileSystems{L"NTFS", L"ReFS", L"FAT", L"FAT32",
                                                            L"exFAT"};
    std::array<wchar_t, MAX_PATH + 1> system{};
    if (!GetVolumeInformationByHandleW(handle.Get(), nullptr, 0, nullptr, nullptr, nullptr,
                                       system.data(), static_cast<DWORD>(system.size())) ||
        std::ranges::find(kFileSystems, std::wstring_view(system.data())) == kFileSystems.end()) {
        return false;
    }
    const DWORD needed = GetFinalPathNameByHandleW(handle.Get(), nullptr, 0, 0);
    std::wstring path(needed, L'\0');
    if (needed == 0 || GetFinalPathNameByHandleW(handle.Get(), path.data(), needed, 0) >= needed) {
        return false;
    }
    // A network folder reports the server's file system but keeps the server's rules.
    if (!path.starts_with(LR"(\\?\)") || path.size() < 7 || path[5] != L':') {
        return false;  // "\\?\UNC\server\..." or a volume without a drive letter
    }
    return GetDriveTypeW(path.substr(4, 3).c_str()) == DRIVE_FIXED;  // "C:\" of "\\?\C:\..."
}

}  // namespace

bool IsEntryName(std::string_view name) {
    constexpr std::string_view kNotInNames{"\\/:\0", 4};
    // The system drops dots and blanks at a name's end, finding "a.png" for "a.png. ".
    if (name.ends_with('.') || name.ends_with(' ')) {
        return false;
    }
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(kNotInNames) == std::string_view::npos;
}

std::optional<std::string_view> ComparableName(std::string_view name, std::string& storage) {
    const std::wstring wide = IsPassablePath(name) ? Widen(name) : std::wstring();
    if (wide.empty() || wide.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
    }
    // Without linguistic casing the invariant upper case is the file system's.
    std::wstring upper(wide.size(), L'\0');
    const int length = static_cast<int>(wide.size());
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), length, upper.data(),
                      length, nullptr, nullptr, 0) != length) {
        return std::nullopt;
    }
    storage = Narrow(upper);
    return storage;
}

std::optional<std::vector<std::string>> ListExactNames(const std::string& folder) {
    if (folder.find('\0') != std::string::npos) {
        return std::nullopt;  // the system would see a different, shorter path
    }
    const native::SystemErrorKeeper keepError;
    const std::wstring wideFolder = WidenPath(folder.empty() ? "." : folder);
    if (wideFolder.empty() || !IsFolderComparingByUpperCase(wideFolder)) {
        return std::nullopt;
    }
    WIN32_FIND_DATAW data;
    const Find find(FindFirstFileExW(WidenPath(folder + "*").c_str(), FindExInfoStandard, &data,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (find.get() == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    do {
        const std::wstring_view name = data.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(Narrow(name));
        }
        // The system finds an entry by its short 8.3 name as well.
        if (data.cAlternateFileName[0] != L'\0') {
            names.push_back(Narrow(data.cAlternateFileName));
        }
    } while (FindNextFileW(find.get(), &data));
    if (GetLastError() != ERROR_NO_MORE_FILES) {
        return std::nullopt;  // a partial listing would make present files look missing
    }
    return names;
}

}  // namespace tamsel
