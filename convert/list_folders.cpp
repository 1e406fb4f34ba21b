#include "convert/list_folders.h"

namespace tamsel {

std::vector<ListFolder> ReadListFolders(const std::string& listPath, FileSystem& files) {
    (void)listPath;
    (void)files;
    return {};
}

}  // namespace tamsel
