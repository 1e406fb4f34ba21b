#pragma once

// The headless command's arguments: `tamsel-convert [--dry-run] [--app-folder DIR]
// [--folder PATH] LIST MENU`, `tamsel-convert --restore MENU`, `tamsel-convert --folders LIST`,
// or `tamsel-convert --browsers`.

#include <string>
#include <vector>

#include "convert/conversion_run.h"

namespace tamsel {

inline constexpr int kExitDone = 0;
inline constexpr int kExitInputError = 1;  // an input check stopped the run
inline constexpr int kExitWriteError = 2;  // the backup or the new menu file failed
inline constexpr int kExitUsage = 64;      // the arguments could not be understood

struct CommandLine {
    enum class Action { Run, Restore, Folders, Browsers, Help, Version, UsageError };
    Action action = Action::UsageError;
    std::string listPath;
    std::string linksPath;
    std::string appFolder;  // as given, empty when not given
    std::string folder;     // the one folder of LIST to convert; empty for the whole list
    bool dryRun = false;    // decide and report every link, write nothing
    std::string error;      // what was wrong, for UsageError
};

// Reads the arguments after the program name. "--help" or "-h" anywhere before "--" asks
// for help; "--app-folder DIR" or "=DIR" and "--folder PATH" or "=PATH" may come again (the
// last counts); "--browsers" goes alone; "--" ends the options, so a path may begin with "-".
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The help text, ending in a line break.
std::string UsageText();

// `folder` with a trailing separator; an empty folder stays empty.
std::string WithTrailingSeparator(std::string folder);

int ExitCodeFor(RunStatus status);

// From the platform (console_posix.cpp, console_win32.cpp): the arguments after the program
// name as UTF-8 (on Windows from the wide command line: `argv` holds them in the ANSI code
// page), and whether a person watches standard error, the only one to get a progress line.
std::vector<std::string> CommandArguments(int argc, char** argv);
bool StandardErrorIsTerminal();

}  // namespace tamsel
