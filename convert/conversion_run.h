#pragma once

// One conversion: checks the inputs, turns the link list into menu entries, splices them into
// the menu file and keeps the previous one as a backup. The caller presents the outcome.

#include <chrono>
#include "convert/link_record.h"
#include "convert/menu_lock.h"
#include "convert/run_observer.h"
#include "convert/run_outcome.h"
#include "support/file_system.h"

namespace tamsel {

// Runs the whole conversion through `files`. The list is checked first; then the menu's lock
// (menu_lock.h) is taken, waiting up to `lockWait` for another run (else WriteError, "ERROR:
// The Links.xml is being changed by another run"), and held until the new menu is in place;
// the menu, the templates and the fallback icon are checked under it, so a run never finds
// the menu missing while another replaces it. No file is made, the lock file included, unless
// the menu is a regular file with content or its lock file stands already: else "Please enter
// the Links.xml.", also when a lock cannot be made and the menu has gone (else WriteError).
//
// Every input is read and the new menu built before any file changes; a failed check gives
// InputError with its message, focusing the box where it lies. The menu is read before the
// list, so that LinkCollector (link_collector.h) skips a link whose entries it holds already.
// No link found, or no place for them in the menu: InputError; every link skipped:
// NothingToAdd. The new menu reaches the disk under a temporary name before the old one
// becomes `linksPath` + ".bak" (replace_menu_file.h). WriteError leaves the old menu in place
// and no temporary file, except "ERROR: The Links.xml was replaced, but the disk did not
// confirm the change": in place as after Done, but the last flush failed and could not be
// undone. Done: "Done", plus "\n\nLinks already in the menu, not added again: S of N." when
// S of the N links found were skipped.
//
// A browser's bookmark store is read as its export (list_lines.h); one that cannot be read
// gives InputError with its StoreProblemMessage. With `paths.folder` set only that folder's
// links count (FolderTracker); a list without folders, a folder it lacks and a folder without
// links each give InputError naming the folder.
//
// Out of memory: WriteError, nothing changed; no exception leaves a run. `observer` hears how
// far the list is read and when the run waits for a lock, and is asked now and then whether
// to stop, up to the moment the menu starts being replaced: then Cancelled, every file as it
// was and no temporary file left.
RunOutcome RunConversion(const RunPaths& paths, FileSystem& files = RealFileSystem(),
                         std::chrono::milliseconds lockWait = kMenuLockWait,
                         RunObserver* observer = nullptr);

// RunConversion's checks and decisions, each link's told to `onDecision` in list order, with
// nothing written, locked or renamed: the outcome a run would report if writing succeeded.
RunOutcome PreviewConversion(const RunPaths& paths, const DecisionProbe& onDecision,
                             FileSystem& files = RealFileSystem());

}  // namespace tamsel
