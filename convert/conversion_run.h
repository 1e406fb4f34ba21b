#pragma once

// One conversion: checks the inputs, turns the link list into menu entries, splices them
// into the menu file and keeps the previous menu file as a backup. Shows nothing itself:
// the caller presents the outcome.

#include <string>

#include "support/file_system.h"

namespace tamsel {

enum class MessageIcon { Information, Exclamation };

enum class RunStatus {
    Done,        // the menu file was rewritten
    InputError,  // an input check stopped the run; no file changed
    WriteError,  // the backup or the new menu file could not be written; the menu is kept
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
// A list in which no link is found, and links that cannot be placed in the menu, give
// InputError too. The new menu reaches the
// disk under a temporary name before the old one becomes `linksPath` + ".bak"; WriteError
// means the old menu is still under `linksPath` and no temporary file remains. Done means
// the new menu is in place and the previous one is the backup.
RunOutcome RunConversion(const RunPaths& paths, FileSystem& files = RealFileSystem());

}  // namespace tamsel
