#include "window/folder_listings.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

#include "support/utf16.h"

namespace tamsel {

namespace {

// File times count 100 ns from 1601, the system clock's from 1970.
std::chrono::system_clock::time_point TimeOf(LARGE_INTEGER time) {
    constexpr LONGLONG kFrom1601To1970 = 116'444'736'000'000'000LL;
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::duration<LONGLONG, std::ratio<1, 10'000'000>>(time.QuadPart -
                                                                       kFrom1601To1970)));
}

}  // namespace

std::optional<FolderStamp> StampFolder(const std::string& folderPart) {
    const HANDLE folder =
        CreateFileW(WidenPath(folderPart.empty() ? "." : folderPart).c_str(), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION identity{};
    FILE_BASIC_INFO times{};
    const bool asked = GetFileInformationByHandle(folder, &identity) &&
                       GetFileInformationByHandleEx(folder, FileBasicInfo, &times, sizeof times);
    CloseHandle(folder);
    if (!asked || (identity.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return std::nullopt;
    }
    return FolderStamp{
        identity.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(identity.nFileIndexHigh) << 32) | identity.nFileIndexLow,
        std::max(TimeOf(times.LastWriteTime), TimeOf(times.ChangeTime))};
}

bool ReadFolder(const std::string& folderPart, std::vector<ListedEntry>& entries) {
    std::size_t count = 0;
    WIN32_FIND_DATAW data;
    // Without the short names, which cost wine a name of its own making for every entry.
    const HANDLE find =
        FindFirstFileExW(WidenPath(folderPart + "*").c_str(), FindExInfoBasic, &data,
                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    bool whole = find != INVALID_HANDLE_VALUE;
    for (bool more = whole; more; more = FindNextFileW(find, &data)) {
        if (count == entries.size()) {
            entries.emplace_back();
        }
        entries[count].name = Narrow(data.cFileName);
        // The listing's bits carry the same values as the system's attribute bits.
        entries[count++].attributes = data.dwFileAttributes & kListEverything;
    }
    if (find != INVALID_HANDLE_VALUE) {
        whole = GetLastError() == ERROR_NO_MORE_FILES;
        FindClose(find);
    }
    entries.resize(count);
    return whole;
}

}  // namespace tamsel
