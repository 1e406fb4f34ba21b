#pragma once

// What the platform hands the command (console_posix.cpp, console_win32.cpp).

#include <string>
#include <vector>

namespace tamsel {

// The command's arguments after the program name, as UTF-8. On Windows they are taken
// from the wide command line, since `argv` holds them in the ANSI code page.
std::vector<std::string> CommandArguments(int argc, char** argv);

// Whether standard error is a terminal: only a person watching it gets a progress line.
bool StandardErrorIsTerminal();

}  // namespace tamsel
