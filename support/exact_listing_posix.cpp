#include "support/exact_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "support/native_file.h"

namespace tamsel {

namespace {

struct CloseListing {
    void operator()(DIR* listing) const { closedir(listing); }
};
using Listing = std::unique_ptr<DIR, CloseListing>;

// File systems whose lookups compare names byte for byte, unless a folder asks for case
// folding. Network and FUSE file systems answer for a server that may not.
bool ComparesNamesExactly(int folder) {
    struct statfs info {};
    if (fstatfs(folder, &info) != 0) {
        return false;
    }
    switch (static_cast<unsigned long>(info.f_type)) {
        case EXT4_SUPER_MAGIC:  // also ext2 and ext3
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case TMPFS_MAGIC:
            break;
        default:
            return false;
    }
    int flags = 0;
    // A file system without the flags call cannot fold case at all.
    return ioctl(folder, FS_IOC_GETFLAGS, &flags) != 0 || (flags & FS_CASEFOLD_FL) == 0;
}

std::string SwapAsciiCase(std::string name) {
    for (char& c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            c = static_cast<char>(c ^ 0x20);  // the bit that tells an ASCII letter's case
        }
    }
    return name;
}

// A second line of defence for what the flags cannot show (XFS formatted to ignore ASCII
// case): a listed name with its letter case swapped must not be found unless it is listed
// itself.
bool IgnoresCase(DIR* listing, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        const std::string swapped = SwapAsciiCase(name);
        if (swapped == name) {
            continue;
        }
        if (std::ranges::find(names, swapped) != names.end()) {
            return false;  // both spellings are there, so case matters
        }
        struct stat status {};
        return fstatat(dirfd(listing), swapped.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
    }
    return false;
}

std::optional<std::vector<std::string>> ListFolder(const std::string& folder) {
    const int handle =
        open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // fdopendir owns the descriptor once it succeeds.
    const Listing listing(handle >= 0 && ComparesNamesExactly(handle) ? fdopendir(handle)
                                                                      : nullptr);
    if (!listing) {
        if (handle >= 0) {
            close(handle);
        }
        return std::nullopt;
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = readdir(listing.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    // readdir ends with nullptr at the end and on a failure alike; a partial listing would
    // make present files look missing.
    if (errno != 0 || IgnoresCase(listing.get(), names)) {
        return std::nullopt;
    }
    return names;
}

}  // namespace

bool IsEntryName(std::string_view name) {
    // Two memchr passes: find_first_of would look every byte up in the set, once per
    // bookmark that is checked for an icon.
    return !name.empty() && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

std::optional<std::string_view> ComparableName(std::string_view name, std::string&) {
    return name;
}

std::optional<std::vector<std::string>> ListExactNames(const std::string& folder) {
    if (folder.find('\0') != std::string::npos) {
        return std::nullopt;  // the system would see a different, shorter path
    }
    const native::SystemErrorKeeper keepError;
    return ListFolder(folder);
}

}  // namespace tamsel
