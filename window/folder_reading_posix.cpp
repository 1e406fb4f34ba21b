#include "window/folder_reading.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "window/folder_listings.h"

namespace tamsel {

namespace {

bool IsDotEntry(std::string_view name) {
    return name == "." || name == "..";
}

char Capital(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The length of the byte-for-byte equal start of `a` and `b`, up to `common`, found eight
// bytes at a time and rounded down to a multiple of eight.
std::size_t EqualWords(const char* a, const char* b, std::size_t common) {
    std::size_t i = 0;
    for (std::uint64_t x = 0, y = 0; i + 8 <= common; i += 8) {
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) {
            break;
        }
    }
    return i;
}

// Capitals as the folded form give the order Windows file systems keep ("_" after letters).
// Sorting a large folder compares names that often share long prefixes: the equal bytes are
// skipped a word at a time, and folding starts where they end.
bool LessIgnoringCase(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = EqualWords(a.data(), b.data(), common); i < common; ++i) {
        const auto x = static_cast<unsigned char>(Capital(a[i]));
        const auto y = static_cast<unsigned char>(Capital(b[i]));
        if (x != y) {
            return x < y;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;  // names that differ only in case still get one fixed order
}

std::chrono::system_clock::time_point TimeOf(const timespec& time) {
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec)));
}

// Hidden is a name that begins with "."; a folder is where the entry leads, so that a link
// to a folder counts as a folder.
unsigned AttributesOf(int folder, const dirent& entry) {
    const std::string_view name = entry.d_name;
    if (IsDotEntry(name)) {
        return kListFolder;
    }
    unsigned attributes = name.front() == '.' ? kListHidden : 0U;
    struct stat status {};
    const bool folderEntry =
        entry.d_type == DT_DIR ||
        ((entry.d_type == DT_LNK || entry.d_type == DT_UNKNOWN) &&
         fstatat(folder, entry.d_name, &status, 0) == 0 && S_ISDIR(status.st_mode));
    return attributes | (folderEntry ? kListFolder : 0U);
}

}  // namespace

std::optional<FolderStamp> StampFolder(const std::string& folderPart) {
    struct stat status {};
    if (stat(folderPart.empty() ? "." : folderPart.c_str(), &status) != 0 ||
        !S_ISDIR(status.st_mode)) {
        return std::nullopt;
    }
    return FolderStamp{static_cast<std::uint64_t>(status.st_dev),
                       static_cast<std::uint64_t>(status.st_ino),
                       std::max(TimeOf(status.st_mtim), TimeOf(status.st_ctim))};
}

bool ReadFolder(const std::string& folderPart, std::vector<ListedEntry>& entries) {
    std::size_t count = 0;
    DIR* folder = opendir(folderPart.empty() ? "." : folderPart.c_str());
    bool whole = folder != nullptr;
    while (folder != nullptr) {
        errno = 0;
        const dirent* entry = readdir(folder);
        if (entry == nullptr) {
            whole = errno == 0;
            break;
        }
        if (count == entries.size()) {
            entries.emplace_back();
        }
        entries[count].name.assign(entry->d_name);
        entries[count++].attributes = AttributesOf(dirfd(folder), *entry);
    }
    if (folder != nullptr) {
        closedir(folder);
    }
    entries.resize(count);
    const auto names = std::partition(entries.begin(), entries.end(),
                                      [](const ListedEntry& e) { return IsDotEntry(e.name); });
    const auto before = [](const ListedEntry& a, const ListedEntry& b) {
        return LessIgnoringCase(a.name, b.name);
    };
    std::sort(entries.begin(), names, before);
    std::sort(names, entries.end(), before);
    return whole;
}

}  // namespace tamsel
