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

// Runs the whole conversion through `files`.
RunOutcome RunConversion(const RunPaths& paths, FileSystem& files = RealFileSystem());

}  // namespace tamsel
