#include "support/known_folders.h"

#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "support/path.h"

namespace tamsel {

namespace {

std::string Environment(const char* name) {
    const char* value = getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string HomeFromPasswordDatabase() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr) {
        return {};
    }
    return found->pw_dir;
}

}  // namespace

std::string ProgramFolder() {
    std::error_code error;
    // Linux names the running executable here whatever the command line said.
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !executable.has_parent_path()) {
        return {};
    }
    return WithNativeSeparatorAtEnd(executable.parent_path().string());
}

UserFolders CurrentUserFolders() {
    UserFolders folders;
    folders.home = Environment("HOME");
    if (folders.home.empty()) {
        folders.home = HomeFromPasswordDatabase();
    }
    folders.home = WithoutTrailingSlashes(folders.home);
    // A relative XDG_CONFIG_HOME is no configuration folder: desktops ignore it, and so do we.
    const std::string configHome = Environment("XDG_CONFIG_HOME");
    if (configHome.starts_with('/')) {
        folders.configHome = WithoutTrailingSlashes(configHome);
    }
    return folders;
}

}  // namespace tamsel
