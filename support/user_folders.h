#pragma once

// The folders of the running user below which browsers keep their profiles, as the
// platform names them (user_folders_posix.cpp, user_folders_win32.cpp). Each is UTF-8
// without a separator at its end, or empty where the platform has no such folder.

#include <string>

namespace tamsel {

struct UserFolders {
    std::string home;          // POSIX: $HOME, else the user's entry in the password database
    std::string configHome;    // POSIX: $XDG_CONFIG_HOME when it is an absolute path
    std::string localAppData;  // Windows: %LOCALAPPDATA%
    std::string appData;       // Windows: %APPDATA%
};

// The running user's folders, read from the environment at each call.
UserFolders CurrentUserFolders();

}  // namespace tamsel
