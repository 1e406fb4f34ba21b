#pragma once

// Where a run finds its menu file, and how runs on one menu file keep from interleaving: each
// holds an exclusive advisory lock, in a lock file beside the menu, from reading the menu to
// putting the new one in place.

#include <chrono>
#include <memory>
#include <string>

#include "convert/run_observer.h"
#include "support/file_system.h"

namespace tamsel {

// The real file behind the menu path (a symbolic link followed once, at the start) and its
// folder held open, so that the lock, the read, the backup and the replacement all act on
// that one folder and file, whatever is renamed or linked in along the path meanwhile.
struct MenuSite {
    std::string folder;                // the real file's folder, ending in a separator, or empty
    std::string name;                  // the real file's name in that folder
    std::unique_ptr<HeldFolder> held;  // nothing when the folder could not be opened
};

// The site of the menu at `menuPath`; the caller locks, then reads the menu through `held`
// (HeldFolder::ReadSource).
MenuSite LocateMenu(const std::string& menuPath, FileSystem& files);

// How long a run waits for another run on the same menu file before giving up.
inline constexpr std::chrono::milliseconds kMenuLockWait{20000};

// The lock file of a menu file, beside it; it stays after the run.
std::string MenuLockPath(const std::string& menuFile);

// Takes the lock of the menu at `site` in its held folder, trying again every few milliseconds
// while another holder has it, for up to `wait`: Busy when the wait ran out; Failed at once
// when the folder is not held or no lock file can be made; NotAFile at once when something
// other than a file stands at the lock's name. A lock file made here gets the menu's
// permission bits, so that whoever may change the menu may lock it. `observer` hears when the
// waiting starts and ends; a cancel request it answers ends the wait at once with Busy.
LockAttempt LockMenuFile(MenuSite& site, std::chrono::milliseconds wait = kMenuLockWait,
                         RunObserver* observer = nullptr);

}  // namespace tamsel
