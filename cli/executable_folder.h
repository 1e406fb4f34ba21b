#pragma once

// What the headless command learns from the platform about its own start.

#include <string>
#include <vector>

namespace tamsel {

// The folder that holds the running executable, as UTF-8 with a trailing separator;
// empty when the platform cannot tell.
std::string ExecutableFolder();

// The command's arguments after the program name, as UTF-8. On Windows they are taken
// from the wide command line, since `argv` holds them in the ANSI code page.
std::vector<std::string> CommandArguments(int argc, char** argv);

}  // namespace tamsel
