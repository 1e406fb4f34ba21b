#pragma once

// Keeps runs on the same menu file from interleaving: each holds an exclusive advisory lock,
// kept in a lock file beside the menu file, from reading the menu to putting the new one in
// place.

#include <chrono>
#include <string>

#include "convert/menu_site.h"
#include "convert/run_observer.h"
#include "support/file_system.h"

namespace tamsel {

// How long a run waits for another run on the same menu file before giving up.
inline constexpr std::chrono::milliseconds kMenuLockWait{20000};

// The lock file of a menu file: its name with ".lock" appended, in the same folder. It stays
// after the run.
std::string MenuLockPath(const std::string& menuFile);

// Takes the lock of the menu file at `site`, in its held folder, trying again every few
// milliseconds while another holder has it, for up to `wait`. Busy when the wait ran out;
// Failed, at once, when the folder is not held or no lock file can be made; NotAFile, at
// once, when something other than a file stands at the lock file's name. A lock file made
// here gets the menu file's permission bits, so that whoever may change the menu may lock it.
// `observer`, when given, hears when the waiting starts and ends, and a cancel request it
// answers ends the wait at once with Busy.
LockAttempt LockMenuFile(MenuSite& site, std::chrono::milliseconds wait = kMenuLockWait,
                         RunObserver* observer = nullptr);

}  // namespace tamsel
