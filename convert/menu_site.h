#pragma once

// Where a run finds its menu file: the real file behind the path it was given, a symbolic
// link followed once, at the start, and that file's folder held open, so that the lock, the
// read, the backup and the replacement all act on that one folder and that one file,
// whatever is renamed or linked in along the path meanwhile.

#include <memory>
#include <string>

#include "support/file_system.h"

namespace tamsel {

struct MenuSite {
    std::string folder;                // the real file's folder, ending in a separator, or empty
    std::string name;                  // the real file's name in that folder
    std::unique_ptr<HeldFolder> held;  // nothing when the folder could not be opened

    // The real file's path, for messages and lock files.
    std::string Path() const { return folder + name; }
};

// Follows a symbolic link at `menuPath` to the file it leads to and holds that file's
// folder open. The menu file itself is not opened yet: the caller locks, then reads it
// through `held` (HeldFolder::ReadSource).
MenuSite LocateMenu(const std::string& menuPath, FileSystem& files);

}  // namespace tamsel
