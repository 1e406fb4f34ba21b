#include "support/path.h"

namespace tamsel {

std::string ExtractPath(std::string_view pathAndFile) {
    return FolderOfFile(pathAndFile.substr(0, pathAndFile.find('?')));
}

std::string FolderOfFile(std::string_view path) {
    // A backslash anywhere wins over any slash, even one that follows it.
    std::size_t separator = path.rfind('\\');
    if (separator == std::string_view::npos) {
        separator = path.rfind('/');
    }
    if (separator == std::string_view::npos) {
        return {};
    }
    return std::string(path.substr(0, separator + 1));
}

}  // namespace tamsel
