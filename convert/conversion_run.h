#pragma once

// One conversion: checks the inputs, turns the link list into menu entries, splices them
// into the menu file and keeps the previous menu file as a backup. Shows nothing itself:
// the caller presents the outcome.

#include <chrono>
#include "convert/link_record.h"
#include "convert/menu_lock.h"
#include "convert/run_observer.h"
#include "convert/run_outcome.h"
#include "support/file_system.h"

namespace tamsel {

// Runs the whole conversion through `files`. The list is checked first, then the menu's lock
// is taken (menu_lock.h) and held until the new menu is in place, and the menu, the
// templates and the fallback icon are checked under it: a run never finds the menu missing
// while another run replaces it. A lock held by another run is waited for up to `lockWait`,
// then WriteError, "ERROR: The Links.xml is being changed by another run". No file is made,
// the lock file included, unless the menu is a regular file with content (or its lock file
// stands already, whose lock is then taken to look again): else "Please enter the
// Links.xml.". A lock that cannot be made gives that message too when the menu has gone,
// else WriteError, "ERROR: Could not write the Links.xml".
//
// Every input is checked and read, and the new menu built, before any file changes; a
// problem there gives InputError with its check's message (focusing the list or the menu box
// where it lies). The menu is read before the list, so that each link is decided as
// LinkCollector (link_collector.h) says: a new id, or skipped when its entries are in the
// menu already. No link found, or links with no place in the menu, give InputError; every
// link skipped gives NothingToAdd, "All links of the list are in the menu already.". The
// new menu reaches the disk under a temporary name before the old one becomes `linksPath` +
// ".bak" (replace_menu_file.h). WriteError leaves the old menu under `linksPath` and no
// temporary file, except "ERROR: The Links.xml was replaced, but the disk did not confirm
// the change": in place as after Done, but the folder's last flush failed and could not be
// undone. Done: the new menu is in place, the previous one is the backup, and the message is
// "Done", followed, when links were skipped, by "\n\nLinks already in the menu, not added
// again: S of N." (S skipped of the N found).
//
// The list may be a browser's bookmark store, read as its export (list_lines.h); one that
// cannot be read gives InputError with its StoreProblemMessage. With `paths.folder` set,
// only the links of that folder of the list count (FolderTracker), for ids, skips and
// messages alike; a list without folders, a folder it lacks and a folder without links each
// give InputError naming the folder, focusing the list.
//
// Running out of memory gives WriteError, "ERROR: Not enough memory to convert the list",
// nothing changed; no exception leaves a run. `observer` hears how far the list is read and
// when the run waits for a lock, and is asked now and then whether to stop, up to the moment
// the menu starts being replaced: then Cancelled, "Cancelled" (information, nothing to focus),
// every file as it was and no temporary file left.
RunOutcome RunConversion(const RunPaths& paths, FileSystem& files = RealFileSystem(),
                         std::chrono::milliseconds lockWait = kMenuLockWait,
                         RunObserver* observer = nullptr);

// The same checks and decisions as RunConversion, each link's decision told to `onDecision`
// in list order, but nothing is written, locked or renamed: the outcome is the one the run
// would report if writing the new menu succeeded (no folder to open).
RunOutcome PreviewConversion(const RunPaths& paths, const DecisionProbe& onDecision,
                             FileSystem& files = RealFileSystem());

}  // namespace tamsel
