#pragma once

// What the platform hands the command (console_posix.cpp, console_win32.cpp).

#include <string>
#include <vector>

namespace tamsel {

// The arguments after the program name, as UTF-8 (on Windows from the wide command line:
// `argv` holds them in the ANSI code page).
std::vector<std::string> CommandArguments(int argc, char** argv);
// Only a person watching standard error gets a progress line.
bool StandardErrorIsTerminal();

}  // namespace tamsel
