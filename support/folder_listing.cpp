#include "support/folder_listing.h"

#include <algorithm>
#include <utility>

#ifdef _WIN32
#include <windows.h>

#include "support/utf8_path.h"
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace tamsel {

namespace {

char FoldCase(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Bytes taken by the character that starts at `at`: a lead byte and its continuation
// bytes, so that "?" and "*" never split a UTF-8 sequence.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
    std::size_t length = 1;
    while (at + length < text.size() &&
           (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

// Whole-name match with backtracking to the last "*" only, which is enough because a
// later "*" can absorb whatever an earlier one would have: linear in practice.
bool MatchesWhole(std::string_view name, std::string_view pattern) {
    constexpr auto kNone = std::string_view::npos;
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = kNone;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = ++p;
            starName = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            n += CharacterLength(name, n);
            ++p;
        } else if (p < pattern.size() && FoldCase(pattern[p]) == FoldCase(name[n])) {
            ++n;
            ++p;
        } else if (starPattern != kNone) {
            starName += CharacterLength(name, starName);
            n = starName;
            p = starPattern;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

#ifdef _WIN32

bool IsWanted(DWORD fileAttributes, unsigned attributes) {
    // The listing's bits carry the same values as the system's attribute bits.
    DWORD special =
        fileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY);
    return (special & ~static_cast<DWORD>(attributes)) == 0;
}

// The system matches the names itself, with its own case rules, and keeps its own order.
std::vector<std::string> ReadMatches(std::string_view pattern, unsigned attributes) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(WidenPath(pattern).c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (IsWanted(data.dwFileAttributes, attributes)) {
            names.push_back(NarrowToUtf8(data.cFileName));
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

#else

bool IsDotEntry(std::string_view name) {
    return name == "." || name == "..";
}

// Capitals as the folded form give the order Windows file systems keep ("_" after letters).
// One pass over the common prefix: sorting a large folder compares names that often share
// long prefixes.
bool LessIgnoringCase(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(FoldCase(a[i]));
        const auto y = static_cast<unsigned char>(FoldCase(b[i]));
        if (x != y) {
            return x < y;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;  // names that differ only in case still get one fixed order
}

bool IsFolder(DIR* folder, const char* name) {
    struct stat status {};
    return fstatat(dirfd(folder), name, &status, 0) == 0 && S_ISDIR(status.st_mode);
}

bool IsWanted(DIR* folder, std::string_view name, unsigned attributes) {
    bool dotEntry = IsDotEntry(name);
    if (!dotEntry && name.front() == '.' && (attributes & kListHidden) == 0) {
        return false;
    }
    // Only a mask without folders needs to know, so a full listing never stats an entry.
    if ((attributes & kListFolder) == 0 && (dotEntry || IsFolder(folder, name.data()))) {
        return false;
    }
    return true;
}

// Raw directory order is arbitrary here, so the names are sorted once, after "." and ".."
// that lead the listing as they do on Windows.
std::vector<std::string> ReadMatches(std::string_view pattern, unsigned attributes) {
    std::string folderPart = ListingFolderPart(pattern);
    std::string_view namePattern = pattern.substr(folderPart.size());
    std::vector<std::string> names;
    if (namePattern.empty()) {
        return names;
    }
    DIR* folder = opendir(folderPart.empty() ? "." : folderPart.c_str());
    if (folder == nullptr) {
        return names;
    }
    std::vector<std::string> dots;
    // readdir gives nullptr at the end and on a failure part-way alike; either way the
    // names read so far are the listing.
    while (const dirent* entry = readdir(folder)) {
        std::string_view name = entry->d_name;
        if (MatchesListingPattern(name, namePattern) && IsWanted(folder, name, attributes)) {
            (IsDotEntry(name) ? dots : names).emplace_back(name);
        }
    }
    closedir(folder);
    std::sort(dots.begin(), dots.end());
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    dots.insert(dots.end(), std::make_move_iterator(names.begin()),
                std::make_move_iterator(names.end()));
    return dots;
}

#endif

}  // namespace

std::string ListingFolderPart(std::string_view pattern) {
#ifdef _WIN32
    std::size_t separator = pattern.find_last_of("\\/");
    if (separator == std::string_view::npos && pattern.size() >= 2 && pattern[1] == ':') {
        separator = 1;  // "C:name" lists the drive's current folder
    }
#else
    std::size_t separator = pattern.rfind('/');
#endif
    if (separator == std::string_view::npos) {
        return {};
    }
    return std::string(pattern.substr(0, separator + 1));
}

bool MatchesListingPattern(std::string_view name, std::string_view pattern) {
    if (MatchesWhole(name, pattern)) {
        return true;
    }
    return pattern.ends_with(".*") && MatchesWhole(name, pattern.substr(0, pattern.size() - 2));
}

std::vector<std::string> ListFolder(std::string_view pattern, unsigned attributes) {
    return ReadMatches(pattern, attributes);
}

std::string FolderListing::Start(std::string_view pattern, unsigned attributes) {
    names_ = ListFolder(pattern, attributes);
    next_ = 0;
    return Next();
}

std::string FolderListing::Next() {
    if (next_ >= names_.size()) {
        return {};
    }
    return std::move(names_[next_++]);
}

}  // namespace tamsel
