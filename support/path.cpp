#include "support/path.h"

namespace tamsel {

namespace {

// Windows' file calls take "\" and "/" alike; on POSIX a "\" is an ordinary letter.
constexpr std::string_view kNativeSeparators = kNativeSeparator == '\\' ? "\\/" : "/";

}  // namespace

std::string ExtractPath(std::string_view pathAndFile) {
    return FolderOfFile(pathAndFile.substr(0, pathAndFile.find('?')));
}

std::string FolderOfFile(std::string_view path) {
    // A backslash anywhere wins over any slash, even one that follows it.
    std::size_t separator = path.rfind('\\');
    if (separator == std::string_view::npos) {
        separator = path.rfind('/');
    }
    return std::string(path.substr(0, separator == std::string_view::npos ? 0 : separator + 1));
}

std::string NativeFolderOf(std::string_view path) {
    const std::size_t separator = path.find_last_of(kNativeSeparators);
    return std::string(path.substr(0, separator == std::string_view::npos ? 0 : separator + 1));
}

std::string ListingFolderPart(std::string_view pattern) {
    if (kNativeSeparator == '\\' && pattern.size() >= 2 && pattern[1] == ':' &&
        pattern.find_first_of(kNativeSeparators) == std::string_view::npos) {
        return std::string(pattern.substr(0, 2));
    }
    return NativeFolderOf(pattern);
}

std::string WithNativeSeparatorAtEnd(std::string folder) {
    if (folder.empty() || kNativeSeparators.find(folder.back()) == std::string_view::npos) {
        folder += kNativeSeparator;
    }
    return folder;
}

}  // namespace tamsel
