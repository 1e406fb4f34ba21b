#include <iostream>

#include "cli/convert_command.h"
#include "cli/executable_folder.h"

int main(int argc, char** argv) {
    return tamsel::RunConvertCommand(tamsel::CommandArguments(argc, argv), std::cout, std::cerr);
}
