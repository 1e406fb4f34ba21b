#pragma once

// Where the running program lives, the one place the command and both windows learn it
// from (program_folder_posix.cpp, program_folder_win32.cpp).

#include <string>

namespace tamsel {

// The folder that holds the running executable, as UTF-8 ending in kNativeSeparator;
// empty when the platform cannot tell. On Linux symbolic links are resolved, whatever
// path the program was started by.
std::string ProgramFolder();

}  // namespace tamsel
