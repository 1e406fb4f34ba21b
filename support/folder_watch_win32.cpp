#include "support/folder_watch.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <tuple>
#include <utility>

#include "support/utf16.h"

namespace tamsel {

namespace {

// The changes a listing follows: entries named, renamed or removed, and attributes (hidden,
// system), which decide whether a listing shows an entry.
constexpr DWORD kEntryChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES;

// Folders whose listing comes in an order that a told name can be placed in: NTFS lists a
// folder's entries sorted by their names in capitals, and so does wine. Another machine's
// folder (a share) is left to the folder's times: its word may be late or lost.
bool Followable(HANDLE folder) {
    wchar_t system[MAX_PATH + 1] = {};
    if (!GetVolumeInformationByHandleW(folder, nullptr, 0, nullptr, nullptr, nullptr, system,
                                       MAX_PATH + 1) ||
        std::wstring_view(system) != L"NTFS") {
        return false;
    }
    FILE_REMOTE_PROTOCOL_INFO remote{};
    return !GetFileInformationByHandleEx(folder, FileRemoteProtocolInfo, &remote, sizeof remote);
}

// Readings of one folder's word in one Drain, past which it is read again instead.
constexpr int kMostReadings = 8;

using Changes = std::vector<std::tuple<int, FolderWatch::Change, std::string>>;

}  // namespace

// One folder's handle of its own and the reading of its changes under way.
struct FolderWatch::Watched {
    HANDLE folder = INVALID_HANDLE_VALUE;
    HANDLE done = nullptr;
    OVERLAPPED reading{};
    bool waiting = false;  // a reading is under way
    alignas(DWORD) char told[16384];

    ~Watched() {
        if (waiting && CancelIoEx(folder, &reading)) {
            DWORD got = 0;
            GetOverlappedResult(folder, &reading, &got, TRUE);  // the buffer is written until then
        }
        if (done != nullptr) {
            CloseHandle(done);
        }
        if (folder != INVALID_HANDLE_VALUE) {
            CloseHandle(folder);
        }
    }

    // Adds the `got` bytes the last reading told to `changes`; false when they do not hold
    // whole records.
    bool Told(int watch, DWORD got, Changes& changes) const {
        constexpr DWORD kHead = offsetof(FILE_NOTIFY_INFORMATION, FileName);
        for (DWORD at = 0; at + kHead <= got;) {
            FILE_NOTIFY_INFORMATION info;
            std::memcpy(&info, told + at, kHead);
            if (info.FileNameLength > got - at - kHead) {
                return false;
            }
            std::wstring name(info.FileNameLength / sizeof(wchar_t), L'\0');
            std::memcpy(name.data(), told + at + kHead, info.FileNameLength);
            std::string entry = Narrow(name);
            if (info.Action == FILE_ACTION_ADDED || info.Action == FILE_ACTION_RENAMED_NEW_NAME) {
                changes.emplace_back(watch, Change::kAdded, std::move(entry));
            } else if (info.Action == FILE_ACTION_REMOVED ||
                       info.Action == FILE_ACTION_RENAMED_OLD_NAME) {
                changes.emplace_back(watch, Change::kRemoved, std::move(entry));
            } else if (info.Action == FILE_ACTION_MODIFIED) {
                // Its attributes changed: the listing asks for the entry again.
                changes.emplace_back(watch, Change::kRemoved, entry);
                changes.emplace_back(watch, Change::kAdded, std::move(entry));
            }
            if (info.NextEntryOffset == 0) {
                return true;
            }
            at += info.NextEntryOffset;
        }
        return false;
    }

    bool Ask() {
        reading.hEvent = done;
        waiting = ReadDirectoryChangesW(folder, told, sizeof told, FALSE, kEntryChanges, nullptr,
                                        &reading, nullptr) != FALSE;
        return waiting;
    }
};

FolderWatch::FolderWatch() = default;

FolderWatch::~FolderWatch() = default;

int FolderWatch::Watch(Folder folder) {
    if (!Followable(folder)) {
        return kNone;
    }
    auto watched = std::make_unique<Watched>();
    const HANDLE process = GetCurrentProcess();
    if (!DuplicateHandle(process, folder, process, &watched->folder, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        watched->folder = INVALID_HANDLE_VALUE;
        return kNone;
    }
    watched->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (watched->done == nullptr || !watched->Ask()) {
        return kNone;
    }
    const int watch = nextWatch_++;
    watched_.emplace(watch, std::move(watched));
    return watch;
}

void FolderWatch::Forget(int watch) {
    if (watched_.erase(watch) > 0) {
        forgotten_.push_back(watch);
    }
}

void FolderWatch::Drain(const std::function<void(int, Change, std::string_view)>& changed) {
    // Gathered first and told after: a change told may end a watch.
    Changes changes;
    for (const int watch : std::exchange(forgotten_, {})) {
        changes.emplace_back(watch, Change::kLost, std::string());
    }
    for (auto& [watch, watched] : watched_) {
        // What changes while no reading is under way is held, and the next reading ends at
        // once with it: the folder is read until a reading stays under way. A folder that
        // keeps changing faster is given up on.
        int readings = 0;
        while (watched->waiting) {
            DWORD got = 0;
            const bool ended = GetOverlappedResult(watched->folder, &watched->reading, &got, FALSE);
            if (!ended && GetLastError() == ERROR_IO_INCOMPLETE) {
                break;
            }
            // A reading that ended telling nothing: more changed than the buffer holds, or
            // the folder went.
            if (ended && got > 0 && ++readings <= kMostReadings &&
                watched->Told(watch, got, changes) && watched->Ask()) {
                continue;
            }
            watched->waiting = false;
            changes.emplace_back(watch, Change::kLost, std::string());
        }
    }
    for (const auto& [watch, change, name] : changes) {
        changed(watch, change, name);
    }
}

}  // namespace tamsel
