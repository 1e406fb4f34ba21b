#include "support/native_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/xattr.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <vector>

#include "support/native_file_posix_parts.h"

// Leases and extended attributes: the parts of the POSIX file layer only Linux has.

namespace tamsel::native {

// A read lease is refused with EAGAIN exactly while someone has the file open for writing.
// Leases need the file's owner or CAP_LEASE and a file system that supports them; where
// the lease is refused for such a reason (EACCES, EPERM, EINVAL on some network or overlay
// file systems) we cannot tell, and the answer is no.
bool HeldOpenForWriting(const File& file) {
    // The kernel makes us the descriptor's owner when the lease is set, and a writer
    // opening the file in the instant before we drop it would signal us. SIGIO would end
    // the process; SIGURG is ignored unless someone asks for it.
    fcntl(file.Get(), F_SETSIG, SIGURG);
    if (fcntl(file.Get(), F_SETLEASE, F_RDLCK) == 0) {
        fcntl(file.Get(), F_SETLEASE, F_UNLCK);
        return false;
    }
    return errno == EAGAIN;
}

namespace {

// Names in an attribute list are NUL-terminated, one after the other.
std::vector<std::string> AttributeNames(int from) {
    const ssize_t size = flistxattr(from, nullptr, 0);
    if (size <= 0) {
        return {};
    }
    std::string names(static_cast<std::size_t>(size), '\0');
    const ssize_t got = flistxattr(from, names.data(), names.size());
    std::vector<std::string> result;
    for (std::size_t start = 0; got > 0 && start < static_cast<std::size_t>(got);) {
        const std::size_t end = names.find('\0', start);
        result.push_back(names.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

}  // namespace

bool CopyExtendedAttributes(int from, int to) {
    bool copied = true;
    for (const std::string& name : AttributeNames(from)) {
        const ssize_t size = fgetxattr(from, name.c_str(), nullptr, 0);
        std::string value(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
        const ssize_t got = fgetxattr(from, name.c_str(), value.data(), value.size());
        copied = got >= 0 &&
                 fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(got), 0) == 0 &&
                 copied;
    }
    return copied;
}

int RenameInOneStep(int folder, const char* from, const char* to, OneStepRename how) {
    return renameat2(folder, from, folder, to,
                     how == OneStepRename::Exchange ? RENAME_EXCHANGE : RENAME_NOREPLACE);
}

void StartWriteBack(const File& file) {
    sync_file_range(file.Get(), 0, 0, SYNC_FILE_RANGE_WRITE);
}

}  // namespace tamsel::native
