#pragma once

// The platform's own file calls under the FileSystem adapter, one source per platform.
// Paths are UTF-8; nothing here throws.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "support/file_system.h"

namespace tamsel::native {

#ifdef _WIN32
using Handle = void*;  // a HANDLE
#else
using Handle = int;
#endif

Handle NoHandle();

// The handle as the number the system uses for it.
std::int64_t HandleNumber(Handle handle);

// False when the close failed, which after writing can mean lost data. Never retried.
bool CloseNative(Handle handle);

// Owns an open file and closes it on every way out, exceptions included.
class File {
  public:
    File() = default;
    explicit File(Handle handle) : handle_(handle) {}
    File(File&& other) noexcept : handle_(std::exchange(other.handle_, NoHandle())) {}
    // The handle held before is closed as `other` goes.
    File& operator=(File other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~File() { Close(); }

    bool Valid() const { return handle_ != NoHandle(); }
    Handle Get() const { return handle_; }
    bool Close() { return !Valid() || CloseNative(std::exchange(handle_, NoHandle())); }

  private:
    Handle handle_ = NoHandle();
};

// Opens a regular file for reading without blocking; folders, FIFOs and devices are
// refused. Shared for reading only, so on Windows a file held open for writing is refused.
// The handle is never 0 (on POSIX descriptor 0 is moved away, should stdin be closed).
File OpenForReading(const std::string& path);

// Whether some process, this one included, holds the file open for writing, where the
// system can tell without changing anything (a read lease on Linux; on Windows the open
// already refused such a file).
bool HeldOpenForWriting(const File& file);

// Puts the thread's last system error (errno, GetLastError) back as it was when made.
class SystemErrorKeeper {
  public:
    SystemErrorKeeper();
    ~SystemErrorKeeper();
    SystemErrorKeeper(const SystemErrorKeeper&) = delete;
    SystemErrorKeeper& operator=(const SystemErrorKeeper&) = delete;

  private:
    unsigned long saved_;
};

// The size the file has now, or 0 when the system cannot tell.
std::size_t CurrentSize(const File& file);

// Bytes read into `buffer`: 0 at the end of the file, -1 on failure.
long long ReadSome(const File& file, char* buffer, std::size_t size);

bool WriteAll(const File& file, std::string_view bytes);

// Gives `to` what it can of the metadata of `from`: permission bits, owner and group where
// the process may, extended attributes (on Windows the file attributes such as read-only).
// Best effort: false only tells that something was not copied. Call before FlushToDisk.
bool CopyMetadata(const File& from, const File& to);

// The same for every name and handle of one file, different for two files that exist at
// the same time.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};

// Nothing when the system cannot tell.
std::optional<FileId> IdOf(const File& file);

bool Rewind(const File& file);

// Starts writing what was written so far to the disk without waiting, so that a flush to
// come finds less to do. Only advice: nothing where the system has no such call.
void StartWriteBack(const File& file);

bool FlushToDisk(const File& file);

// The file a path whose last element is a symbolic link finally names (absolute); any
// other path as it is.
std::string FinalTarget(const std::string& path);

// The machine's HeldFolder: reading, writing and locking in file_system.cpp, the calls on
// entries in the platform's source (openat and its kin on POSIX; on Windows by path, the
// folder held without delete sharing so that it can be neither renamed nor removed).
class Folder final : public HeldFolder {
  public:
    // Nothing when `path` (ending in a separator, or empty for the current folder) cannot be
    // opened or is no folder. On POSIX it must be readable: flushing needs a reading handle.
    static std::unique_ptr<Folder> Open(const std::string& path);
    Folder(File handle, std::string path) : handle_(std::move(handle)), path_(std::move(path)) {}

    LockAttempt TryLock(const std::string& name, const std::string& likeName) override;
    std::optional<std::string> ReadSource(const std::string& name) override;
    std::optional<std::string> Read(const std::string& name) override;
    std::optional<std::string> ReadSourceAgain() override;
    bool IsSource(const std::string& name) override;
    void CloseSource() override;
    bool WriteNew(const std::string& name, std::span<const std::string_view> pieces) override;
    bool Remove(const std::string& name) override;
    bool Rename(const std::string& from, const std::string& to) override;
    ExchangeResult Exchange(const std::string& a, const std::string& b) override;
    bool RenameNew(const std::string& from, const std::string& to) override;
    bool HasEntry(const std::string& name) override;
    bool Sync() override;

  private:
    // OpenForReading of the entry, a link refused. On Windows shared for deletion too, so
    // that holding it does not keep the folder's own renames from replacing it.
    File OpenEntry(const std::string& name) const;

    // A new file for writing, open to its owner alone; anything at the name, a link or FIFO
    // included, makes it fail unopened. On Windows it gets the source's access list without
    // execution; POSIX leaves that to CopyMetadata.
    File CreateEntry(const std::string& name) const;

    // Opens the lock file into `file`, made with the permission bits `mode` (whatever the
    // umask) when missing; another user's is opened for reading, enough to lock it. Then
    // takes its exclusive lock without waiting (flock, LockFileEx): Held until `file` is
    // closed; another open of the same file, in any process, gets Busy meanwhile.
    LockState Lock(const std::string& name, unsigned mode, File& file) const;

    // The identity of the entry itself (of a link, not what it leads to), if any.
    std::optional<FileId> EntryId(const std::string& name) const;

    // The permission bits of the entry (links followed), or `otherwise` when not told.
    unsigned EntryPermissions(const std::string& name, unsigned otherwise) const;

    File handle_;
    std::string path_;  // as opened, ending in a separator; empty for the current folder
    File source_;
    std::optional<FileId> sourceId_;
};

}  // namespace tamsel::native
