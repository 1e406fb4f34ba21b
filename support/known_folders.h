#pragma once

// The folders the platform names for the running program and its user, one source per
// platform (known_folders_posix.cpp, known_folders_win32.cpp).

#include <string>

namespace tamsel {

// The folder that holds the running executable, as UTF-8 ending in kNativeSeparator;
// empty when the platform cannot tell. On Linux symbolic links are resolved, whatever
// path the program was started by.
std::string ProgramFolder();

// The folders of the running user below which browsers keep their profiles. Each is UTF-8
// without a separator at its end, or empty where the platform has no such folder.
struct UserFolders {
    std::string home;          // POSIX: $HOME, else the user's entry in the password database
    std::string configHome;    // POSIX: $XDG_CONFIG_HOME when it is an absolute path
    std::string localAppData;  // Windows: %LOCALAPPDATA%
    std::string appData;       // Windows: %APPDATA%
};

// The running user's folders, read from the environment at each call.
UserFolders CurrentUserFolders();

}  // namespace tamsel
