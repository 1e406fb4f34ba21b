#pragma once

// The folders of a link list: an HTML export's headings with the lists that follow them, or a
// browser store's folders. A run can be narrowed to one of them (RunPaths::folder).

#include <cstddef>
#include <string>
#include <vector>

#include "support/file_system.h"

namespace tamsel {

// One folder of a list, in the list's order.
struct ListFolder {
    std::string path;  // the names from the top, "/" between them, as RunPaths::folder takes it
    std::string name;  // the folder's own name, as the browser shows it
    int depth = 0;     // 0 for a folder at the top
    std::size_t links = 0;  // the links a run would find in it and below it
};

// The folders of the list at `listPath` in list order, read as a run reads the list and named
// as FolderTracker (folder_tracker.h) says; none when it has none or cannot be read. `problem`
// becomes the message a run would give for a list that cannot be read, else empty.
std::vector<ListFolder> ReadListFolders(const std::string& listPath,
                                        FileSystem& files = RealFileSystem(),
                                        std::string* problem = nullptr);

}  // namespace tamsel
