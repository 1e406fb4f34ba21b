#include "support/exact_listing.h"

#if defined(__linux__)
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#elif defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <array>
#include <climits>
#include <memory>
#include <type_traits>

#include "support/native_file.h"
#include "support/utf8_path.h"
#endif

namespace tamsel {

#if defined(__linux__)

namespace {

struct CloseListing {
    void operator()(DIR* listing) const { closedir(listing); }
};
using Listing = std::unique_ptr<DIR, CloseListing>;

// File systems whose lookups compare names byte for byte, unless a folder asks for case
// folding. Network and FUSE file systems answer for a server that may not.
bool ComparesNamesExactly(int folder) {
    struct statfs info {};
    if (fstatfs(folder, &info) != 0) {
        return false;
    }
    switch (static_cast<unsigned long>(info.f_type)) {
        case EXT4_SUPER_MAGIC:  // also ext2 and ext3
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case TMPFS_MAGIC:
            break;
        default:
            return false;
    }
    int flags = 0;
    // A file system without the flags call cannot fold case at all.
    return ioctl(folder, FS_IOC_GETFLAGS, &flags) != 0 || (flags & FS_CASEFOLD_FL) == 0;
}

std::string SwapAsciiCase(std::string name) {
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + 32);
        }
    }
    return name;
}

// A second line of defence for what the flags cannot show (XFS formatted to ignore ASCII
// case): a listed name with its letter case swapped must not be found unless it is listed
// itself.
bool IgnoresCase(DIR* listing, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        const std::string swapped = SwapAsciiCase(name);
        if (swapped == name) {
            continue;
        }
        if (std::find(names.begin(), names.end(), swapped) != names.end()) {
            return false;  // both spellings are there, so case matters
        }
        struct stat status {};
        return fstatat(dirfd(listing), swapped.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
    }
    return false;
}

std::optional<std::vector<std::string>> ListFolder(const std::string& folder) {
    const int handle =
        open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) {
        return std::nullopt;
    }
    if (!ComparesNamesExactly(handle)) {
        close(handle);
        return std::nullopt;
    }
    const Listing listing(fdopendir(handle));
    if (!listing) {
        close(handle);
        return std::nullopt;
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = readdir(listing.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    // readdir ends with nullptr at the end and on a failure alike; a partial listing would
    // make present files look missing.
    if (errno != 0 || IgnoresCase(listing.get(), names)) {
        return std::nullopt;
    }
    return names;
}

}  // namespace

std::optional<std::vector<std::string>> ListExactNames(const std::string& folder) {
    if (folder.find('\0') != std::string::npos) {
        return std::nullopt;  // the system would see a different, shorter path
    }
    const int savedErrno = errno;
    std::optional<std::vector<std::string>> names = ListFolder(folder);
    errno = savedErrno;
    return names;
}

#elif defined(_WIN32)

namespace {

struct CloseHandleOf {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FolderHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, CloseHandleOf>;

struct CloseFind {
    void operator()(HANDLE find) const { FindClose(find); }
};
using Find = std::unique_ptr<std::remove_pointer_t<HANDLE>, CloseFind>;

// Whether `folder` is a folder of a local file system that finds a name in any letter
// case by the system's upper-case table and by nothing else: no Unicode forms, no server
// with rules of its own. A folder reached through a link counts where the link leads.
bool IsFolderComparingByUpperCase(const std::wstring& folder) {
    const FolderHandle handle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (handle.get() == INVALID_HANDLE_VALUE ||
        !GetFileInformationByHandle(handle.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return false;
    }
    std::array<wchar_t, MAX_PATH + 1> system{};
    if (!GetVolumeInformationByHandleW(handle.get(), nullptr, 0, nullptr, nullptr, nullptr,
                                       system.data(), static_cast<DWORD>(system.size()))) {
        return false;
    }
    const std::wstring_view name = system.data();
    if (name != L"NTFS" && name != L"ReFS" && name != L"FAT" && name != L"FAT32" &&
        name != L"exFAT") {
        return false;
    }
    const DWORD needed = GetFinalPathNameByHandleW(handle.get(), nullptr, 0, 0);
    std::wstring path(needed, L'\0');
    if (needed == 0 || GetFinalPathNameByHandleW(handle.get(), path.data(), needed, 0) >= needed) {
        return false;
    }
    // A network folder reports the server's file system but keeps the server's rules.
    if (!path.starts_with(LR"(\\?\)") || path.size() < 7 || path[5] != L':') {
        return false;  // "\\?\UNC\server\..." or a volume without a drive letter
    }
    return GetDriveTypeW(path.substr(4, 3).c_str()) == DRIVE_FIXED;  // "C:\" of "\\?\C:\..."
}

}  // namespace

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
            names.push_back(NarrowToUtf8(name));
        }
        // The system finds an entry by its short 8.3 name as well.
        if (data.cAlternateFileName[0] != L'\0') {
            names.push_back(NarrowToUtf8(data.cAlternateFileName));
        }
    } while (FindNextFileW(find.get(), &data));
    if (GetLastError() != ERROR_NO_MORE_FILES) {
        return std::nullopt;  // a partial listing would make present files look missing
    }
    return names;
}

std::optional<std::string> UpperCaseName(std::string_view name) {
    const std::wstring wide = WidenUtf8(name);
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
    return NarrowToUtf8(upper);
}

#else

std::optional<std::vector<std::string>> ListExactNames(const std::string&) {
    return std::nullopt;
}

#endif

}  // namespace tamsel
