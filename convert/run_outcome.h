#pragma once

// What a run is given and gives back: the paths a user chose, the outcome a front end presents
// (a message box, a box to focus, a folder to open), and the outcomes that a conversion and a
// restore share for the same failures of the same steps (the lock, the replacement).

#include <optional>
#include <string>
#include <string_view>

#include "convert/menu_lock.h"
#include "convert/replace_menu_file.h"

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

inline constexpr std::string_view kMenuMessage = "Please enter the Links.xml.";
inline constexpr std::string_view kWriteMessage = "ERROR: Could not write the Links.xml";
inline constexpr std::string_view kMemoryMessage = "ERROR: Not enough memory to convert the list";

RunOutcome MakeOutcome(RunStatus status, MessageIcon icon, std::string_view message,
                       std::optional<RunInput> focus = std::nullopt);

// A WriteError with the exclamation icon and `message`.
RunOutcome WriteProblem(std::string_view message);

// Why a run stops when its attempt at the lock of the menu at `site` failed (held by another
// run, no plain file at the lock's name, no lock file made); nothing when it is held.
std::optional<RunOutcome> LockProblem(const LockAttempt& lock, const MenuSite& site);

// Why a run stops when the menu file was not replaced; `unconfirmed` says that the change is
// made but the disk did not confirm its last step (ReplaceResult::Unconfirmed).
std::optional<RunOutcome> ReplaceProblem(ReplaceResult result, std::string_view unconfirmed);

}  // namespace tamsel
