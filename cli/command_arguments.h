#pragma once

// The command's arguments as the platform hands them over (command_arguments_posix.cpp,
// command_arguments_win32.cpp).

#include <string>
#include <vector>

namespace tamsel {

// The command's arguments after the program name, as UTF-8. On Windows they are taken
// from the wide command line, since `argv` holds them in the ANSI code page.
std::vector<std::string> CommandArguments(int argc, char** argv);

}  // namespace tamsel
