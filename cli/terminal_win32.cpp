#include <io.h>

#include <cstdio>

#include "cli/terminal.h"

namespace tamsel {

bool StandardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

}  // namespace tamsel
