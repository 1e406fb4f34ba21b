#include <iostream>

#include "cli/console.h"
#include "cli/convert_command.h"

int main(int argc, char** argv) {
    return tamsel::RunConvertCommand(tamsel::CommandArguments(argc, argv), std::cout, std::cerr,
                                     tamsel::RealFileSystem(), tamsel::StandardErrorIsTerminal());
}
