#pragma once

// A scratch folder that only the user may enter, for copies of files that other programs
// hold open. POSIX builds only (private_folder_posix.cpp): its one user, the reader of
// Firefox's store, is built where SQLite is.

#include <string>

namespace tamsel {

class PrivateFolder {
  public:
    // Makes a new folder with a name no one can guess, open to its owner alone (mode 0700),
    // under the system's temporary folder ($TMPDIR, else /tmp). Path() is empty when none
    // could be made.
    PrivateFolder();
    // Removes the folder with everything in it; links in it are removed, not followed.
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    // The folder, ending in its separator; empty when it could not be made.
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace tamsel
