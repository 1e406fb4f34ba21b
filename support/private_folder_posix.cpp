#include "support/private_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>

namespace tamsel {

PrivateFolder::PrivateFolder() {
    std::error_code error;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
    if (error) {
        return;
    }
    std::string name = (temporary / "tamsel-XXXXXX").string();
    // mkdtemp makes the folder with mode 0700 whatever the umask, and never takes one that
    // is there already.
    if (mkdtemp(name.data()) != nullptr) {
        path_ = name + '/';
    }
}

PrivateFolder::~PrivateFolder() {
    if (!path_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
}

}  // namespace tamsel
