#pragma once

// One conversion: checks the inputs, turns the link list into menu entries, splices them
// into the menu file and keeps the previous menu file as a backup. Shows nothing itself:
// the caller presents the outcome.

#include <chrono>
#include <string>

#include "convert/menu_lock.h"
#include "support/file_system.h"

namespace tamsel {

enum class MessageIcon { Information, Exclamation };

enum class RunStatus {
    Done,        // the menu file was rewritten
    InputError,  // an input check stopped the run; no file changed
    WriteError,  // the menu could not be replaced (backup, write, lock or memory); it is kept
};

struct RunOutcome {
    RunStatus status = RunStatus::Done;
    std::string message;  // the text of the message box
    MessageIcon icon = MessageIcon::Information;
    int focusBox = -1;         // path box to focus: 0 list, 1 menu file, -1 none
    std::string folderToOpen;  // the menu file's folder after "Done", else empty
};

struct RunPaths {
    std::string listPath;   // the link list
    std::string linksPath;  // the menu file
    std::string appFolder;  // the program folder with the templates, ending in a separator
};

// Runs the whole conversion through `files`. Every input is checked and read, and the new
// menu built, before any file changes; a problem there gives InputError with the message of
// its check (focusing the list or the menu box where the problem lies) and changes nothing.
// Links that cannot be placed in the menu give InputError too. The new menu reaches the
// disk under a temporary name before the old one becomes `linksPath` + ".bak"; WriteError
// means the old menu is still under `linksPath` and no temporary file remains. Done means
// the new menu is in place and the previous one is the backup.
//
// From reading the menu file to putting the new one in place the run holds the menu's lock
// (menu_lock.h); while another run holds it, this one waits up to `lockWait`, then stops with
// WriteError, "ERROR: The Links.xml is being changed by another run", nothing changed.
// Running out of memory anywhere stops the run with WriteError, "ERROR: Not enough memory to
// convert the list", nothing changed; no exception leaves a run.
RunOutcome RunConversion(const RunPaths& paths, FileSystem& files = RealFileSystem(),
                         std::chrono::milliseconds lockWait = kMenuLockWait);

}  // namespace tamsel
