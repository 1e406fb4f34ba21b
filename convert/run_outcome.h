#pragma once

// What a run is given and what it gives back: the paths a user chose and the outcome a
// front end presents (a message box, a box to focus, a folder to open).

#include <optional>
#include <string>

namespace tamsel {

enum class MessageIcon { Information, Exclamation };

// The inputs a user gives a run, each in a path box of its own: the link list, the menu file.
enum class RunInput { List = 0, Menu = 1 };

enum class RunStatus {
    Done,          // the menu file was rewritten
    NothingToAdd,  // every link of the list is in the menu already; no file changed
    InputError,    // an input check stopped the run; no file changed
    WriteError,    // the menu could not be replaced (backup, write, lock or memory); it is kept
    Cancelled,     // the caller stopped the run before the menu was replaced; no file changed
};

struct RunOutcome {
    RunStatus status = RunStatus::Done;
    std::string message;  // the text of the message box
    MessageIcon icon = MessageIcon::Information;
    std::optional<RunInput> focusBox;  // the input where the problem lies, to focus; none
    std::string folderToOpen;          // the menu file's folder after "Done", else empty
};

struct RunPaths {
    std::string listPath;   // the link list
    std::string linksPath;  // the menu file
    std::string appFolder;  // the program folder with the templates, ending in a separator
    // The one folder of the list to convert (ListFolder::path); empty for the whole list.
    std::string folder = {};
};

}  // namespace tamsel
