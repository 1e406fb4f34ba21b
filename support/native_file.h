#pragma once

// The platform's own file calls, one source per platform (native_file_posix.cpp,
// native_file_win32.cpp), under the platform-free FileSystem adapter. Paths are UTF-8;
// nothing here throws.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace tamsel::native {

#ifdef _WIN32
using Handle = void*;  // a HANDLE
#else
using Handle = int;
#endif

// The handle value that means "no file".
Handle NoHandle();

// The handle as the number the system uses for it.
std::int64_t HandleNumber(Handle handle);

// Closes `handle`; false when the system reports that the close failed, which after
// writing can mean lost data. Never retried.
bool CloseNative(Handle handle);

// Owns an open file and closes it on every way out, exceptions from a line handler
// included.
class File {
  public:
    File() = default;
    explicit File(Handle handle) : handle_(handle) {}
    File(File&& other) noexcept : handle_(std::exchange(other.handle_, NoHandle())) {}
    File& operator=(File&&) = delete;
    ~File() { close(); }

    bool valid() const { return handle_ != NoHandle(); }
    Handle get() const { return handle_; }
    // Closes now; false when the system reports that the close failed.
    bool close() { return !valid() || CloseNative(std::exchange(handle_, NoHandle())); }

  private:
    Handle handle_ = NoHandle();
};

// Opens a regular file for reading without blocking; folders, FIFOs and devices are
// refused. The file is shared for reading only, so on Windows a file another process
// holds open for writing cannot be opened. The handle is never 0 (on POSIX, descriptor 0
// is moved out of the way when standard input is closed).
File OpenForReading(const std::string& path);

// Whether some process, this one included, holds the open file open for writing, where
// the system can tell without changing anything (a read lease on Linux; on Windows the
// open already refused such a file).
bool HeldOpenForWriting(const File& file);

// Keeps the thread's last system error (errno, or GetLastError on Windows) as it was
// when made, so that a call that may fail leaves no trace of it.
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

// Writes all of `bytes`; false on any failure.
bool WriteAll(const File& file, std::string_view bytes);

// Creates or truncates `path` for writing; a symbolic link at `path` is refused.
File CreateForWriting(const std::string& path);

// Creates `path` as a new file for writing, open to its owner alone; fails when anything
// stands at the name, a link or a FIFO included, without opening it and without waiting.
File CreateNew(const std::string& path);

// Gives the open file `to` what of the metadata of the file at `from` can be given: the
// permission bits, the owner and group where the process may set them, the extended
// attributes where both files' file systems keep them (on Windows: the file attributes
// such as read-only, and the security descriptor where permitted). Best effort: false
// only tells that something could not be copied. Call before FlushToDisk so that the
// flush covers it.
bool CopyMetadata(const std::string& from, const File& to);

// Opens, creating it when missing, the file that holds a lock, without following a link at
// the name and without waiting on a FIFO; anything but a regular file is refused.
File OpenLockFile(const std::string& path);

enum class LockTry { Taken, Busy, Failed };

// Takes the exclusive lock of the open file without waiting (flock on POSIX, LockFileEx on
// Windows). Held until the file is closed; another open of the same file, in this process
// or another, gets Busy meanwhile.
LockTry TryLockExclusive(const File& file);

// Flushes the file's data to the disk.
bool FlushToDisk(const File& file);

// Removes a file (not a folder).
bool RemoveFile(const std::string& path);

// Renames `from` to `to`, replacing a file at `to`.
bool RenameFile(const std::string& from, const std::string& to);

// Flushes a folder's entries (renames, creations) to the disk.
bool SyncFolderEntries(const std::string& folder);

// The file a path whose last element is a symbolic link finally names (absolute); every
// other path as it is.
std::string FinalTarget(const std::string& path);

}  // namespace tamsel::native
