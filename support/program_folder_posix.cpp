#include "support/program_folder.h"

#include <filesystem>
#include <system_error>

#include "support/path.h"

namespace tamsel {

std::string ProgramFolder() {
    std::error_code error;
    // Linux names the running executable here whatever the command line said.
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !executable.has_parent_path()) {
        return {};
    }
    return WithNativeSeparatorAtEnd(executable.parent_path().string());
}

}  // namespace tamsel
