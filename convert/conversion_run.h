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
// is taken (menu_lock.h) and held until the new menu is in place: the menu, the templates
// and the fallback icon are checked under it, so that a run never finds the menu missing
// while another run replaces it. While another run holds the lock, this one waits up to
// `lockWait`, then stops with WriteError, "ERROR: The Links.xml is being changed by another
// run", nothing changed. No file is made, the lock file included, unless the menu is a
// regular file with content: otherwise the run stops at once with "Please enter the
// Links.xml.", unless the menu's lock file stands already, whose lock it then takes to look
// again. A lock that cannot be made because the menu has gone meanwhile gives the same
// message; any other, WriteError, "ERROR: Could not write the Links.xml".
//
// Every input is checked and read, and the new menu built, before any file changes; a
// problem there gives InputError with the message of its check (focusing the list or the
// menu box where the problem lies) and changes nothing. The menu is read before the list, so
// that each link is decided as LinkCollector (link_collector.h) says: it gets an id not used
// yet, or is skipped when its entries are in the menu already. A list in which no link is
// found, and links that cannot be placed in the menu, give InputError; a list whose every
// link is skipped gives NothingToAdd, "All links of the list are in the menu already.",
// nothing changed. The new menu reaches the disk under a temporary name before the old one
// becomes `linksPath` + ".bak"; WriteError means the old menu is still under `linksPath` and
// no temporary file remains, except with "ERROR: The Links.xml was replaced, but the disk did
// not confirm the change": the new menu is then in place and the old one is the backup, as
// after Done, but the folder's last flush failed and could not be undone. Done means the new
// menu is in place and the previous one is the backup; the message is "Done", followed, when
// links were skipped, by "\n\nLinks already in the menu, not added again: S of N." (S skipped
// of the N found).
//
// The list may also be a browser's own bookmark store, read as its export (list_lines.h); a
// store that cannot be read gives InputError with its StoreProblemMessage. With
// `paths.folder` set, only the links found while that folder of the list is open count
// (FolderTracker, folder_tracker.h), for ids, skips and messages alike; a list without
// folders, a folder the list lacks, and a folder without links each give InputError with a
// message that names the folder, focusing the list, nothing changed.
//
// Running out of memory anywhere stops the run with WriteError, "ERROR: Not enough memory to
// convert the list", nothing changed; no exception leaves a run.
//
// `observer`, when given, hears how far the list is read and when the run waits for another
// run's lock, and is asked now and then whether to stop, up to the moment the menu starts
// being replaced. A run stopped so gives Cancelled, "Cancelled" (information, nothing to
// focus, no folder), with every file as it was and no temporary file left.
RunOutcome RunConversion(const RunPaths& paths, FileSystem& files = RealFileSystem(),
                         std::chrono::milliseconds lockWait = kMenuLockWait,
                         RunObserver* observer = nullptr);

// The same checks and decisions as RunConversion, each link's decision told to `onDecision`
// in list order, but nothing is written, locked or renamed: the outcome is the one the run
// would report if writing the new menu succeeded (no folder to open).
RunOutcome PreviewConversion(const RunPaths& paths, const DecisionProbe& onDecision,
                             FileSystem& files = RealFileSystem());

}  // namespace tamsel
