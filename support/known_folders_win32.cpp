#include "support/known_folders.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <stdlib.h>

#include "support/utf16.h"

namespace tamsel {

namespace {

std::string Environment(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    std::string folder = value != nullptr ? Narrow(value) : std::string();
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) {
        folder.pop_back();
    }
    return folder;
}

}  // namespace

std::string ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // cut short: the path is longer than MAX_PATH
    }
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos
               ? std::string()
               : Narrow(std::wstring_view(path).substr(0, separator + 1));
}

UserFolders CurrentUserFolders() {
    UserFolders folders;
    folders.localAppData = Environment(L"LOCALAPPDATA");
    folders.appData = Environment(L"APPDATA");
    return folders;
}

}  // namespace tamsel
