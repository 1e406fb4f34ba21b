#include "support/folder_listing.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "support/utf16.h"
#include "support/utf8_path.h"

namespace tamsel {

namespace {

bool IsWanted(DWORD fileAttributes, unsigned attributes) {
    // The listing's bits carry the same values as the system's attribute bits.
    DWORD special =
        fileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY);
    return (special & ~static_cast<DWORD>(attributes)) == 0;
}

}  // namespace

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

// The system matches the names itself, with its own case rules, and keeps its own order.
void ListFolderInto(std::string_view pattern, unsigned attributes,
                    std::vector<std::string>& names) {
    names.clear();
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(WidenPath(pattern).c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if (IsWanted(data.dwFileAttributes, attributes)) {
            names.push_back(Narrow(data.cFileName));
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

}  // namespace tamsel
