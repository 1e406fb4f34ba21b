#include "support/native_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "support/exact_listing.h"
#include "support/path.h"

// Leases, extended attributes and renameat2 make this Linux's own, as the folder listing is.

namespace tamsel::native {

Handle NoHandle() {
    return -1;
}

std::int64_t HandleNumber(Handle handle) {
    return handle;
}

SystemErrorKeeper::SystemErrorKeeper() : saved_(static_cast<unsigned long>(errno)) {}

SystemErrorKeeper::~SystemErrorKeeper() {
    errno = static_cast<int>(saved_);
}

// close() reports write-back errors on some file systems, so its answer matters after
// writing. It is never retried: on Linux the descriptor is gone even after EINTR.
bool CloseNative(Handle handle) {
    return ::close(handle) == 0;
}

namespace {

// `call` (a system call answering -1 on failure) made again while a signal interrupts it.
template <typename Call>
auto RetryOnSignal(Call call) {
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR) {
            return result;
        }
    }
}

// open() hands out descriptor 0 only when standard input is closed; the file probe's 0/-1
// rule would then call a real file missing, and a child process would take it for input.
int AwayFromZero(int fd) {
    if (fd != 0) {
        return fd;
    }
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    close(fd);
    return moved;
}

File RegularOnly(File file) {
    struct stat status {};
    if (file.Valid() && (fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode))) {
        return File();
    }
    return file;
}

// O_NONBLOCK keeps a FIFO without a writer from hanging the open.
constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;

// False when one could not be copied. Throws std::bad_alloc.
bool CopyExtendedAttributes(int from, int to) {
    const ssize_t size = flistxattr(from, nullptr, 0);
    std::string names(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    const ssize_t listed = size > 0 ? flistxattr(from, names.data(), names.size()) : 0;
    names.resize(listed > 0 ? static_cast<std::size_t>(listed) : 0);
    bool copied = true;
    // The names follow one another, each ending in a NUL.
    for (std::size_t start = 0; start < names.size();) {
        const char* name = names.c_str() + start;
        start += std::strlen(name) + 1;
        const ssize_t length = fgetxattr(from, name, nullptr, 0);
        std::string value(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
        const ssize_t got = fgetxattr(from, name, value.data(), value.size());
        copied = got >= 0 &&
                 fsetxattr(to, name, value.data(), static_cast<std::size_t>(got), 0) == 0 && copied;
    }
    return copied;
}

FileId IdFrom(const struct stat& status) {
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

// What a file system without renames in one step answers (EINVAL), or a kernel without them.
bool NoOneStepRename(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// The status of the entry itself, or of what it leads to with `flags` 0.
bool StatusOfEntry(const File& folder, const std::string& name, struct stat& status,
                   int flags = AT_SYMLINK_NOFOLLOW) {
    return IsEntryName(name) && fstatat(folder.Get(), name.c_str(), &status, flags) == 0;
}

LockState TryLockExclusive(const File& file) {
    if (RetryOnSignal([&] { return flock(file.Get(), LOCK_EX | LOCK_NB); }) == 0) {
        return LockState::Held;
    }
    return errno == EWOULDBLOCK ? LockState::Busy : LockState::Failed;
}

}  // namespace

File OpenForReading(const std::string& path) {
    if (!IsPassablePath(path)) {
        return File();
    }
    return RegularOnly(File(AwayFromZero(open(path.c_str(), kReadFlags))));
}

std::size_t CurrentSize(const File& file) {
    struct stat status {};
    return fstat(file.Get(), &status) == 0 ? static_cast<std::size_t>(status.st_size) : 0;
}

long long ReadSome(const File& file, char* buffer, std::size_t size) {
    return RetryOnSignal([&] { return read(file.Get(), buffer, size); });
}

bool WriteAll(const File& file, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t wrote =
            RetryOnSignal([&] { return write(file.Get(), bytes.data(), bytes.size()); });
        if (wrote <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
}

bool HeldOpenForWriting(const File& file) {
    // A read lease is refused with EAGAIN exactly while someone has the file open for
    // writing; refused for another reason (not the owner, no CAP_LEASE, a network or overlay
    // file system) we cannot tell, and say no. A writer in the instant before we drop the
    // lease would signal us: SIGIO would end the process, SIGURG is ignored unless asked for.
    fcntl(file.Get(), F_SETSIG, SIGURG);
    if (fcntl(file.Get(), F_SETLEASE, F_RDLCK) == 0) {
        fcntl(file.Get(), F_SETLEASE, F_UNLCK);
        return false;
    }
    return errno == EAGAIN;
}

// From the open file, not from its name: the name may lead elsewhere by now.
bool CopyMetadata(const File& from, const File& to) {
    struct stat source {};
    struct stat target {};
    if (fstat(from.Get(), &source) != 0 || fstat(to.Get(), &target) != 0) {
        return false;
    }
    bool copied = true;
    // Owner before mode: giving a file away clears its set-ID bits, which the mode restores.
    if (source.st_uid != target.st_uid || source.st_gid != target.st_gid) {
        if (fchown(to.Get(), source.st_uid, source.st_gid) != 0) {
            // A member of the group may still hand the file to the group.
            copied = false;
            (void)fchown(to.Get(), static_cast<uid_t>(-1), source.st_gid);
        }
    }
    // Attributes before mode: setting a user attribute needs write permission, which a
    // read-only menu's mode would take away from its owner.
    try {
        copied = CopyExtendedAttributes(from.Get(), to.Get()) && copied;
    } catch (const std::bad_alloc&) {
        copied = false;
    }
    return fchmod(to.Get(), source.st_mode & 07777) == 0 && copied;
}

std::optional<FileId> IdOf(const File& file) {
    struct stat status {};
    return fstat(file.Get(), &status) == 0 ? std::optional(IdFrom(status)) : std::nullopt;
}

bool Rewind(const File& file) {
    return lseek(file.Get(), 0, SEEK_SET) == 0;
}

// O_RDONLY rather than O_PATH: fsync needs a descriptor that may read.
std::unique_ptr<Folder> Folder::Open(const std::string& path) {
    const std::string opened = path.empty() ? std::string(".") : path;
    if (!IsPassablePath(opened)) {
        return nullptr;
    }
    File handle(AwayFromZero(open(opened.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)));
    return handle.Valid() ? std::make_unique<Folder>(std::move(handle), path) : nullptr;
}

bool Folder::Sync() {
    return FlushToDisk(handle_);
}

File Folder::OpenEntry(const std::string& name) const {
    if (!IsEntryName(name)) {
        return File();
    }
    return RegularOnly(
        File(AwayFromZero(openat(handle_.Get(), name.c_str(), kReadFlags | O_NOFOLLOW))));
}

// O_EXCL refuses whatever stands at the name, a dangling link or a FIFO too; O_NOFOLLOW and
// O_NONBLOCK say so again for systems that bend O_EXCL. 0600 keeps a private menu private
// until CopyMetadata gives the final permissions.
File Folder::CreateEntry(const std::string& name) const {
    if (!IsEntryName(name)) {
        return File();
    }
    return File(openat(handle_.Get(), name.c_str(),
                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
}

bool Folder::Remove(const std::string& name) {
    return IsEntryName(name) && unlinkat(handle_.Get(), name.c_str(), 0) == 0;
}

bool Folder::Rename(const std::string& from, const std::string& to) {
    return IsEntryName(from) && IsEntryName(to) &&
           renameat(handle_.Get(), from.c_str(), handle_.Get(), to.c_str()) == 0;
}

ExchangeResult Folder::Exchange(const std::string& a, const std::string& b) {
    if (!IsEntryName(a) || !IsEntryName(b)) {
        return ExchangeResult::Failed;
    }
    const int at = handle_.Get();
    if (renameat2(at, a.c_str(), at, b.c_str(), RENAME_EXCHANGE) == 0) {
        return ExchangeResult::Exchanged;
    }
    return NoOneStepRename(errno) ? ExchangeResult::Unsupported : ExchangeResult::Failed;
}

bool Folder::RenameNew(const std::string& from, const std::string& to) {
    if (!IsEntryName(from) || !IsEntryName(to)) {
        return false;
    }
    const int at = handle_.Get();
    if (renameat2(at, from.c_str(), at, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    return NoOneStepRename(errno) && !HasEntry(to) &&
           renameat(at, from.c_str(), at, to.c_str()) == 0;
}

bool Folder::HasEntry(const std::string& name) {
    struct stat status {};
    return StatusOfEntry(handle_, name, status);
}

std::optional<FileId> Folder::EntryId(const std::string& name) const {
    struct stat status {};
    return StatusOfEntry(handle_, name, status) ? std::optional(IdFrom(status)) : std::nullopt;
}

unsigned Folder::EntryPermissions(const std::string& name, unsigned otherwise) const {
    struct stat status {};
    return StatusOfEntry(handle_, name, status, 0) ? status.st_mode & 07777 : otherwise;
}

LockState Folder::Lock(const std::string& name, unsigned mode, File& file) const {
    const int at = handle_.Get();
    if (!IsEntryName(name)) {
        return LockState::Failed;
    }
    // Checked before the open, which refuses links and FIFOs again (O_NOFOLLOW, O_NONBLOCK
    // and the fstat after it) for something put there in between.
    if (struct stat status{}; StatusOfEntry(handle_, name, status) && !S_ISREG(status.st_mode)) {
        return LockState::NotAFile;
    }
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int descriptor = openat(at, name.c_str(), O_RDWR | O_CREAT | O_EXCL | kFlags, 0600);
    if (descriptor >= 0) {
        // Others who may change the menu must be able to open its lock as well; the umask
        // of whoever ran first decides nothing.
        (void)fchmod(descriptor, static_cast<mode_t>(mode & 0666));
    } else {
        descriptor = openat(at, name.c_str(), O_RDWR | kFlags);
        if (descriptor < 0) {
            descriptor = openat(at, name.c_str(), O_RDONLY | kFlags);
        }
    }
    if (descriptor < 0) {
        return errno == ELOOP ? LockState::NotAFile : LockState::Failed;
    }
    file = RegularOnly(File(AwayFromZero(descriptor)));
    return file.Valid() ? TryLockExclusive(file) : LockState::NotAFile;
}

void StartWriteBack(const File& file) {
    sync_file_range(file.Get(), 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool FlushToDisk(const File& file) {
    return RetryOnSignal([&] { return fsync(file.Get()); }) == 0;
}

// realpath() resolves every link on the way, so only a path ending in a link goes to it.
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
