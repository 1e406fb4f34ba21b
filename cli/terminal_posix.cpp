#include <unistd.h>

#include "cli/terminal.h"

namespace tamsel {

bool StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

}  // namespace tamsel
