#include "cli/executable_folder.h"

#ifdef _WIN32
// shellapi.h builds on the types windows.h declares.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "support/utf8_path.h"
#else
#include <filesystem>
#include <system_error>
#endif

namespace tamsel {

#ifdef _WIN32

std::string ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // truncated: long paths exceed MAX_PATH
    }
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos
               ? std::string{}
               : NarrowToUtf8(std::wstring_view(path).substr(0, separator + 1));
}

std::vector<std::string> CommandArguments(int, char**) {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        arguments.push_back(NarrowToUtf8(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

#else

std::string ExecutableFolder() {
    std::error_code error;
    // Linux names the running executable here whatever the command line said.
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !executable.has_parent_path()) {
        return {};
    }
    std::string folder = executable.parent_path().string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::vector<std::string> CommandArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

#endif

}  // namespace tamsel
