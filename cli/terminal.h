#pragma once

// Whether the command's standard error is a terminal (terminal_posix.cpp,
// terminal_win32.cpp): only a person watching it gets a progress line.

namespace tamsel {

bool StandardErrorIsTerminal();

}  // namespace tamsel
