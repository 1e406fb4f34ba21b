#pragma once

// `tamsel-convert --folders LIST`: the folders of a link list, as text.

#include <iosfwd>
#include <string>

#include "support/file_system.h"

namespace tamsel {

// Writes to `out` one line per folder of the list at `listPath` (ReadListFolders), in list
// order: its path, as --folder takes it, TAB, the number of links in it and below it. A list
// that cannot be read gets the run's message on `err` and kExitInputError; a list without
// folders, a line saying so on `err` and kExitDone, as does a list with them.
int ListFolders(const std::string& listPath, std::ostream& out, std::ostream& err,
                FileSystem& files);

}  // namespace tamsel
