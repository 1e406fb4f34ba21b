#pragma once

// The platform's own file calls, one source per platform (native_file_posix.cpp,
// native_file_win32.cpp), under the platform-free FileSystem adapter. Paths are UTF-8;
// nothing here throws.

#include <cstddef>
#include <cstdint>
#include <optional>
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
    File& operator=(File&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = std::exchange(other.handle_, NoHandle());
        }
        return *this;
    }
    ~File() { Close(); }

    bool Valid() const { return handle_ != NoHandle(); }
    Handle Get() const { return handle_; }
    // Closes now; false when the system reports that the close failed.
    bool Close() { return !Valid() || CloseNative(std::exchange(handle_, NoHandle())); }

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

// Gives the open file `to` what of the metadata of the open file `from` can be given: the
// permission bits, the owner and group where the process may set them, the extended
// attributes where both files' file systems keep them (on Windows: the file attributes
// such as read-only; the access list went on in CreateNewEntry). Best effort: false
// only tells that something could not be copied. Call before FlushToDisk so that the
// flush covers it.
bool CopyMetadata(const File& from, const File& to);

enum class LockTry { Taken, Busy, Failed };

// Takes the exclusive lock of the open file without waiting (flock on POSIX, LockFileEx on
// Windows). Held until the file is closed; another open of the same file, in this process
// or another, gets Busy meanwhile.
LockTry TryLockExclusive(const File& file);

// What tells one file from another: the same for every name and handle of one file, and
// different for two files that exist at the same time.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};

// The identity of an open file; nothing when the system cannot tell.
std::optional<FileId> IdOf(const File& file);

// Moves the open file's position back to its start.
bool Rewind(const File& file);

// A folder held open. Its entries are reached through it, whatever is renamed or linked in
// along its path meanwhile (openat and its kin on POSIX; on Windows the folder is held
// without delete sharing, so that it can be neither renamed nor removed, and its entries are
// reached by its path). `name` below is one entry of the folder, without separators; a
// symbolic link at the name is never followed.
struct Folder {
    File handle;
    std::string path;  // as opened, ending in a separator; empty for the current folder
};

// Opens the folder `path` (ending in a separator, or empty for the current folder). On POSIX
// it must be readable, since flushing its entries needs a handle that may read it.
Folder OpenFolder(const std::string& path);

// Flushes the folder's entries (renames, creations, removals) to the disk.
bool SyncFolder(const Folder& folder);

// OpenForReading of the entry; a link at the name is refused. On Windows the file is shared
// for deletion too, so that holding it does not keep the folder's own renames from
// replacing it.
File OpenEntryForReading(const Folder& folder, const std::string& name);

// Creates the entry as a new file for writing, open to its owner alone; fails when anything
// stands at the name, a link or a FIFO included, without opening it and without waiting.
// On Windows the file is made with the access list of the open file `like` (when valid),
// none of its entries granting execution; POSIX leaves that to CopyMetadata.
File CreateNewEntry(const Folder& folder, const std::string& name, const File& like);

// Removes the entry when it is no folder; a link goes itself, never what it leads to.
bool RemoveEntry(const Folder& folder, const std::string& name);

// Renames the entry `from` to `to` in the same folder, replacing a file at `to`.
bool RenameEntry(const Folder& folder, const std::string& from, const std::string& to);

enum class Exchange { Done, Failed, Unsupported };

// Swaps the entries `a` and `b` of the folder in one step, so that each name leads to what
// the other led to (renameat2 with RENAME_EXCHANGE on Linux). Unsupported, nothing changed,
// where the system or the folder's file system has no such step (Windows, other POSIX
// systems, some Linux file systems).
Exchange ExchangeEntries(const Folder& folder, const std::string& a, const std::string& b);

// Renames the entry `from` to `to` when nothing stands at `to`: in one step where the
// system can (renameat2 with RENAME_NOREPLACE on Linux, MoveFileEx without replacing on
// Windows), elsewhere right after looking.
bool RenameEntryNew(const Folder& folder, const std::string& from, const std::string& to);

// Whether anything stands at the name: a file, a folder, a link even where it leads nowhere.
bool EntryExists(const Folder& folder, const std::string& name);

// The identity of the entry itself (of a link, not of what it leads to); nothing when there
// is none.
std::optional<FileId> EntryId(const Folder& folder, const std::string& name);

// The permission bits of the entry (links followed), or `otherwise` when it cannot be told.
unsigned EntryPermissions(const Folder& folder, const std::string& name, unsigned otherwise);

enum class LockFileOpen { Opened, NotAFile, Failed };

// Opens the file that holds a lock, creating it with the permission bits `mode` (never
// narrowed by the umask) when it is missing; a lock file made by another user is opened
// for reading, which is enough to lock it. Anything at the name that is not a regular file
// (a link, a FIFO, a folder) is never opened through: NotAFile.
LockFileOpen OpenLockEntry(const Folder& folder, const std::string& name, unsigned mode,
                           File& file);

// Asks the system to start writing to the disk what was written to `file` so far, without
// waiting for it, so that a flush to come finds less left to do. Only advice: nothing
// happens where the system has no such call.
void StartWriteBack(const File& file);

// Flushes the file's data to the disk.
bool FlushToDisk(const File& file);

// The file a path whose last element is a symbolic link finally names (absolute); every
// other path as it is.
std::string FinalTarget(const std::string& path);

}  // namespace tamsel::native
