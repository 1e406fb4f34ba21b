#pragma once

// Undoes a run: the menu's backup goes back in its place and the menu it replaces becomes the
// backup, so that another restore undoes this one.

#include <chrono>
#include <string>

#include "convert/conversion_run.h"
#include "convert/menu_lock.h"
#include "support/file_system.h"

namespace tamsel {

// Restores `linksPath` + ".bak" as `linksPath` (a symbolic link followed as a run does) under
// the menu's lock, with the durable steps of RestoreMenuFile (replace_menu_file.h); with
// nothing at the menu's name, the backup is put back as the menu and stays the backup too
// (RestoreMissingMenu). Done once both are in place and on the disk. InputError, nothing
// changed: "ERROR: There is no Links.xml.bak to restore" without a backup (or with an empty
// one), "Please enter the Links.xml." when what stands at the menu's name is no readable file.
// WriteError, nothing changed, with the run's messages for a lock held too long, a lock file
// that is no file, a file that cannot be written and memory running out; WriteError, "ERROR:
// The Links.xml was restored, but the disk did not confirm the change", when the restore is in
// place but the folder's last flush failed and could not be undone.
RunOutcome RestoreBackup(const std::string& linksPath, FileSystem& files = RealFileSystem(),
                         std::chrono::milliseconds lockWait = kMenuLockWait);

}  // namespace tamsel
