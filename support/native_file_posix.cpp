#include "support/native_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "support/utf8_path.h"

namespace tamsel::native {

Handle NoHandle() {
    return -1;
}

// close() reports write-back errors on some file systems, so its answer matters after
// writing. It is never retried: on Linux the descriptor is gone even after EINTR.
bool CloseNative(Handle handle) {
    return ::close(handle) == 0;
}

// O_NONBLOCK keeps a FIFO without a writer from hanging the open (and changes nothing for
// a regular file).
File OpenForReading(const std::string& path) {
    if (!IsPassablePath(path)) {
        return File();
    }
    File file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.valid() && (fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))) {
        return File();
    }
    return file;
}

std::size_t CurrentSize(const File& file) {
    struct stat status {};
    return fstat(file.get(), &status) == 0 ? static_cast<std::size_t>(status.st_size) : 0;
}

long long ReadSome(const File& file, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = read(file.get(), buffer, size);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

bool WriteAll(const File& file, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t wrote = write(file.get(), bytes.data(), bytes.size());
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
}

// 0666 lets the user's umask decide, as for any file a program creates. O_NOFOLLOW: a
// symbolic link planted at the name would otherwise have some other file overwritten.
File CreateForWriting(const std::string& path) {
    if (!IsPassablePath(path)) {
        return File();
    }
    return File(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666));
}

bool FlushToDisk(const File& file) {
    int result = 0;
    do {
        result = fsync(file.get());
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// unlink() refuses folders, which is what a file-removing call should do.
bool RemoveFile(const std::string& path) {
    return IsPassablePath(path) && unlink(path.c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
    return IsPassablePath(from) && IsPassablePath(to) && rename(from.c_str(), to.c_str()) == 0;
}

bool SyncFolderEntries(const std::string& folder) {
    if (!IsPassablePath(folder)) {
        return false;
    }
    File handle(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return handle.valid() && FlushToDisk(handle) && handle.close();
}

// Only a path whose last element is a link comes back resolved (realpath() resolves every
// link on the way and makes the path absolute); every other path keeps its spelling.
std::string FinalTarget(const std::string& path) {
    struct stat status {};
    if (!IsPassablePath(path) || lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
        return path;
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr),
                                                               &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

}  // namespace tamsel::native
