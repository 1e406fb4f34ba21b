#include "cli/folders_command.h"

#include <ostream>
#include <vector>

#include "cli/command_line.h"
#include "convert/list_folders.h"

namespace tamsel {

int ListFolders(const std::string& listPath, std::ostream& out, std::ostream& err,
                FileSystem& files) {
    std::string problem;
    const std::vector<ListFolder> folders = ReadListFolders(listPath, files, &problem);
    if (!problem.empty()) {
        err << problem << '\n';
        return kExitInputError;
    }
    if (folders.empty()) {
        err << "The list has no folders.\n";
    }
    for (const ListFolder& folder : folders) {
        out << folder.path << '\t' << folder.links << '\n';
    }
    return kExitDone;
}

}  // namespace tamsel
