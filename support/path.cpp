#include "support/path.h"

namespace tamsel {

std::string ExtractPath(std::string_view pathAndFile) {
    const std::string_view path = pathAndFile.substr(0, pathAndFile.find('?'));
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
