#include "support/path.h"

// The file calls take "\" and "/" alike between folders.

namespace tamsel {

std::string NativeFolderOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string_view::npos ? std::string()
                                               : std::string(path.substr(0, separator + 1));
}

std::string WithNativeSeparatorAtEnd(std::string folder) {
    if (!folder.ends_with('\\') && !folder.ends_with('/')) {
        folder += kNativeSeparator;
    }
    return folder;
}

}  // namespace tamsel
