#pragma once

// Reading a folder whole for the path boxes' listings (window/folder_listings.h), and what
// tells whether it changed since. One source per platform (folder_reading_posix.cpp,
// folder_reading_win32.cpp).

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tamsel {

// What identifies a folder's list of names: adding, removing or renaming an entry dates
// the folder's last change.
struct FolderStamp {
    std::uint64_t volume = 0;  // the device (POSIX) or the volume's serial number (Windows)
    std::uint64_t file = 0;    // the folder's number there
    std::chrono::system_clock::time_point changed;

    bool operator==(const FolderStamp&) const = default;
};

// An entry as read: its name and its ListingAttribute bits (window/folder_listings.h).
struct ListedEntry {
    std::string name;
    unsigned attributes = 0;
};

// The stamp of the folder `folderPart` (a path ending in its separator; the current folder
// when empty); nothing when it names no folder that can be asked. Its time is the later of
// the folder's modification (last write) time and its change time, which the system sets
// whenever the folder's entries or times change: a modification time set back, as
// unpacking an archive sets it, still dates the change.
std::optional<FolderStamp> StampFolder(const std::string& folderPart);

// Every entry of the folder `folderPart` into `entries` (replacing them, their strings
// written over): on POSIX "." and ".." first where the folder has them, then the other
// names in case-insensitive order (letters as capitals, so "_" follows them as on Windows;
// names equal but for case in byte order); on Windows in the file system's own order.
// False when the folder could not be read whole; the entries read so far stay.
bool ReadFolder(const std::string& folderPart, std::vector<ListedEntry>& entries);

}  // namespace tamsel
