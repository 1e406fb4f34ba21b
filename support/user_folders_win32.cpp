#include "support/user_folders.h"

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

UserFolders CurrentUserFolders() {
    UserFolders folders;
    folders.localAppData = Environment(L"LOCALAPPDATA");
    folders.appData = Environment(L"APPDATA");
    return folders;
}

}  // namespace tamsel
