#pragma once

// The headless command: runs exactly the conversion of the window's Start button and
// reports its outcome as text and an exit status. Opens nothing.

#include <iosfwd>
#include <string>
#include <vector>

#include "support/file_system.h"

namespace tamsel {

// Runs the command for the arguments that follow the program name. Help and version go
// to `out`; "Done" and "All links of the list are in the menu already." go to `out`, every
// other outcome and usage errors to `err`. Returns the exit status (see command_line.h).
// Without --app-folder the templates come from the folder that holds the running program.
// With --dry-run nothing is written: each link found goes to `out` as a line "add" or
// "skip", TAB, its id (a skipped link's without a suffix), TAB, title, TAB, address, in list
// order, and the outcome follows as the run would report it. With `progress`, a run that
// takes longer than a second shows how far it is on one line of `err`, wiped at its end
// (terminal_progress.h). --folder narrows the run (and the preview) to one folder of the
// list; --folders lists the list's folders (folders_command.h); --browsers lists the user's
// bookmark stores (browsers_command.h).
int RunConvertCommand(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err, FileSystem& files = RealFileSystem(),
                      bool progress = false);

}  // namespace tamsel
