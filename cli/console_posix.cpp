#include "cli/command_line.h"

#include <unistd.h>

namespace tamsel {

std::vector<std::string> CommandArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

bool StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

}  // namespace tamsel
