#include <iostream>

#include "cli/command_arguments.h"
#include "cli/convert_command.h"
#include "cli/terminal.h"

int main(int argc, char** argv) {
    return tamsel::RunConvertCommand(tamsel::CommandArguments(argc, argv), std::cout, std::cerr,
                                     tamsel::RealFileSystem(), tamsel::StandardErrorIsTerminal());
}
