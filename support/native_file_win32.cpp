#include "support/native_file.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

#include "support/utf8_path.h"

namespace tamsel::native {

Handle NoHandle() {
    return INVALID_HANDLE_VALUE;
}

bool CloseNative(Handle handle) {
    return ::CloseHandle(handle) != 0;
}

// Folders (which CreateFileW refuses without backup semantics) and devices are refused.
File OpenForReading(const std::string& path) {
    const std::wstring widePath = WidenUtf8(path);
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
    const std::wstring widePath = WidenUtf8(path);
    if (widePath.empty()) {
        return File();
    }
    return File(CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

// CREATE_NEW fails on any existing name, and Windows has no FIFOs to wait on. A folder
// link (reparse point) at the name also makes it fail.
File CreateNew(const std::string& path) {
    const std::wstring widePath = WidenUtf8(path);
    if (widePath.empty()) {
        return File();
    }
    return File(CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Copies nothing yet: the new file keeps the attributes and security that its folder gives.
bool CopyMetadata(const std::string& from, const File& to) {
    (void)from;
    (void)to;
    return false;
}

File OpenLockFile(const std::string& path) {
    const std::wstring widePath = WidenUtf8(path);
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

bool RemoveFile(const std::string& path) {
    const std::wstring widePath = WidenUtf8(path);
    return !widePath.empty() && DeleteFileW(widePath.c_str()) != 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
    const std::wstring wideFrom = WidenUtf8(from);
    const std::wstring wideTo = WidenUtf8(to);
    return !wideFrom.empty() && !wideTo.empty() &&
           MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// Windows keeps folder entries durable itself once MoveFileEx was asked to write
// through; what is left to check is that the folder is there.
bool SyncFolderEntries(const std::string& folder) {
    const std::wstring wideFolder = WidenUtf8(folder);
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
