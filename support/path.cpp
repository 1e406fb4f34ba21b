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

std::string NativeFolderOf(std::string_view path) {
#ifdef _WIN32
    const std::size_t separator = path.find_last_of("\\/");
#else
    const std::size_t separator = path.rfind('/');
#endif
    return separator == std::string_view::npos ? std::string()
                                               : std::string(path.substr(0, separator + 1));
}

std::string WithNativeSeparatorAtEnd(std::string folder) {
#ifdef _WIN32
    const bool ends = folder.ends_with('\\') || folder.ends_with('/');
#else
    const bool ends = folder.ends_with('/');
#endif
    if (!ends) {
        folder += kNativeSeparator;
    }
    return folder;
}

}  // namespace tamsel
