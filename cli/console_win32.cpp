#include "cli/command_line.h"

// shellapi.h builds on the types windows.h declares.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include <io.h>

#include <cstdio>

#include "support/utf16.h"

namespace tamsel {

std::vector<std::string> CommandArguments(int, char**) {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        arguments.push_back(Narrow(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

bool StandardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

}  // namespace tamsel
