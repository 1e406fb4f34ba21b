#include "support/native_file.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
// aclapi.h builds on the types windows.h declares.
// clang-format off
#include <windows.h>
#include <aclapi.h>
// clang-format on

#include <algorithm>

#include "support/utf8_path.h"

namespace tamsel::native {

Handle NoHandle() {
    return INVALID_HANDLE_VALUE;
}

std::int64_t HandleNumber(Handle handle) {
    return reinterpret_cast<std::intptr_t>(handle);
}

SystemErrorKeeper::SystemErrorKeeper() : saved_(GetLastError()) {}

SystemErrorKeeper::~SystemErrorKeeper() {
    SetLastError(saved_);
}

bool CloseNative(Handle handle) {
    return ::CloseHandle(handle) != 0;
}

// Folders (which CreateFileW refuses without backup semantics) and devices are refused.
File OpenForReading(const std::string& path) {
    const std::wstring widePath = WidenPath(path);
    if (widePath.empty()) {
        return File();
    }
    File file(CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.valid() && GetFileType(file.get()) != FILE_TYPE_DISK) {
        return File();
    }
    return file;
}

// The open shared reading only, so a writer's handle made it fail already.
bool HeldOpenForWriting(const File& file) {
    (void)file;
    return false;
}

std::size_t CurrentSize(const File& file) {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file.get(), &size) ? static_cast<std::size_t>(size.QuadPart) : 0;
}

long long ReadSome(const File& file, char* buffer, std::size_t size) {
    DWORD got = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    return ReadFile(file.get(), buffer, wanted, &got, nullptr) ? static_cast<long long>(got) : -1;
}

bool WriteAll(const File& file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD wrote = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!WriteFile(file.get(), bytes.data(), wanted, &wrote, nullptr) || wrote == 0) {
            return false;
        }
        bytes.remove_prefix(wrote);
    }
    return true;
}

File CreateForWriting(const std::string& path) {
    const std::wstring widePath = WidenPath(path);
    if (widePath.empty()) {
        return File();
    }
    return File(CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

// CREATE_NEW fails on any existing name, and Windows has no FIFOs to wait on. A folder
// link (reparse point) at the name also makes it fail.
File CreateNew(const std::string& path) {
    const std::wstring widePath = WidenPath(path);
    if (widePath.empty()) {
        return File();
    }
    // WRITE_DAC lets CopyMetadata hand the menu's permissions on.
    return File(CreateFileW(widePath.c_str(), GENERIC_WRITE | WRITE_DAC, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

namespace {

// Read-only too, as the permission bits on POSIX: the handle open for writing keeps
// writing, and RemoveFile and RenameFile see past it.
constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool CopyAttributes(const std::wstring& from, const File& to) {
    WIN32_FILE_ATTRIBUTE_DATA source{};
    if (!GetFileAttributesExW(from.c_str(), GetFileExInfoStandard, &source)) {
        return false;
    }
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = (source.dwFileAttributes & kCopiedAttributes) | FILE_ATTRIBUTE_NORMAL;
    if (basic.FileAttributes != FILE_ATTRIBUTE_NORMAL) {
        basic.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL);
    }
    return SetFileInformationByHandle(to.get(), FileBasicInfo, &basic, sizeof basic) != 0;
}

// The explicit entries of the menu's access list; inherited ones come from the folder,
// which the new file shares with the menu.
bool CopyAccessList(const std::wstring& from, const File& to) {
    PACL accessList = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(from.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &accessList, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    const bool copied = SetSecurityInfo(to.get(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                        nullptr, nullptr, accessList, nullptr) == ERROR_SUCCESS;
    LocalFree(descriptor);
    return copied;
}

}  // namespace

bool CopyMetadata(const std::string& from, const File& to) {
    const std::wstring wideFrom = WidenPath(from);
    if (wideFrom.empty()) {
        return false;
    }
    // The access list first: setting it may set the read-only state along with it.
    const bool accessList = CopyAccessList(wideFrom, to);
    return CopyAttributes(wideFrom, to) && accessList;
}

File OpenLockFile(const std::string& path) {
    const std::wstring widePath = WidenPath(path);
    if (widePath.empty()) {
        return File();
    }
    File file(CreateFileW(widePath.c_str(), GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.valid() && GetFileType(file.get()) != FILE_TYPE_DISK) {
        return File();
    }
    return file;
}

LockTry TryLockExclusive(const File& file) {
    OVERLAPPED whole{};
    if (LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                   MAXDWORD, &whole)) {
        return LockTry::Taken;
    }
    return GetLastError() == ERROR_LOCK_VIOLATION ? LockTry::Busy : LockTry::Failed;
}

bool FlushToDisk(const File& file) {
    return FlushFileBuffers(file.get()) != 0;
}

namespace {

// Windows refuses to delete or replace a read-only file, where POSIX asks only the folder.
// For the same outcome on both, `change` is tried again with the read-only attribute of
// the file at `path` taken away; when it fails again the attribute is put back.
template <typename Change>
bool EvenIfReadOnly(const std::wstring& path, Change change) {
    if (change()) {
        return true;
    }
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_READONLY) == 0 ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        !SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    if (change()) {
        return true;
    }
    SetFileAttributesW(path.c_str(), attributes);
    return false;
}

}  // namespace

bool RemoveFile(const std::string& path) {
    const std::wstring widePath = WidenPath(path);
    return !widePath.empty() &&
           EvenIfReadOnly(widePath, [&] { return DeleteFileW(widePath.c_str()) != 0; });
}

// MoveFileExW replaces the target in one step, as rename() does; ReplaceFileW would keep
// more of the target's metadata but goes through intermediate names and may leave the
// target renamed away on failure, and its flush is not asked for.
bool RenameFile(const std::string& from, const std::string& to) {
    const std::wstring wideFrom = WidenPath(from);
    const std::wstring wideTo = WidenPath(to);
    return !wideFrom.empty() && !wideTo.empty() && EvenIfReadOnly(wideTo, [&] {
        return MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    });
}

// Windows keeps folder entries durable itself once MoveFileEx was asked to write
// through; what is left to check is that the folder is there.
bool SyncFolderEntries(const std::string& folder) {
    const std::wstring wideFolder = WidenPath(folder);
    if (wideFolder.empty()) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(wideFolder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Making a symbolic link takes privileges on Windows and menu files are not linked there;
// a path is taken as it is, so a linked menu file is replaced as a file.
std::string FinalTarget(const std::string& path) {
    return path;
}

}  // namespace tamsel::native
