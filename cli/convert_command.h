#pragma once

// The headless command: runs exactly the conversion of the window's Start button and
// reports its outcome as text and an exit status. Opens nothing.

#include <iosfwd>
#include <string>
#include <vector>

#include "support/file_system.h"

namespace tamsel {

// Runs the command for the arguments that follow the program name (command_line.h) and
// returns its exit status. Help, version, "Done" and "All links of the list are in the menu
// already." go to `out`, every other outcome and usage errors to `err`. Without
// --app-folder the templates come from the running program's folder. --dry-run writes
// nothing: each link found goes to `out` as "add" or "skip", TAB, its id (a skipped link's
// without a suffix), TAB, title, TAB, address, in list order, then the outcome. --folders
// prints a line per folder of the list (path, TAB, links in it and below it; a list without
// folders says so on `err`), --browsers a line per store FindBrowserStores finds (browser,
// TAB, StoreProfileText, TAB, CountWebBookmarks or "?", TAB, path; none found is said on
// `err`). With `progress`, a run longer than a second shows how far it is on one line of
// `err`, wiped at its end (terminal_progress.h).
int RunConvertCommand(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err, FileSystem& files = RealFileSystem(),
                      bool progress = false);

}  // namespace tamsel
