#include "support/folder_listing.h"

namespace tamsel {

std::string ListingFolderPart(std::string_view pattern) {
    const std::size_t separator = pattern.rfind('/');
    if (separator == std::string_view::npos) {
        return {};
    }
    return std::string(pattern.substr(0, separator + 1));
}

}  // namespace tamsel
