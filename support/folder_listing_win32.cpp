#include "support/folder_listing.h"

namespace tamsel {

std::string ListingFolderPart(std::string_view pattern) {
    std::size_t separator = pattern.find_last_of("\\/");
    if (separator == std::string_view::npos && pattern.size() >= 2 && pattern[1] == ':') {
        separator = 1;  // "C:name" lists the drive's current folder
    }
    if (separator == std::string_view::npos) {
        return {};
    }
    return std::string(pattern.substr(0, separator + 1));
}

}  // namespace tamsel
