#pragma once

// The file operations the conversion run needs, behind one small interface so that a test
// can make any single step fail. Paths are UTF-8. Nothing throws, except std::bad_alloc for
// a file that does not fit in memory, so that a caller can tell it from an unreadable one.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/line_splitter.h"

namespace tamsel {

// Stands for a lock while it lives; destroying it releases the lock.
class HeldLock {
  public:
    virtual ~HeldLock() = default;
};

enum class LockState {
    Held,      // the lock is ours until the HeldLock goes
    Busy,      // another holder, in this process or another, has it now
    Failed,    // no lock file could be opened at the name
    NotAFile,  // a link, FIFO, folder or device stands at the name; nothing was opened
};

struct LockAttempt {
    LockState state = LockState::Failed;
    std::unique_ptr<HeldLock> lock;  // set when Held
};

enum class ExchangeResult {
    Exchanged,    // each of the two names leads to what the other led to
    Failed,       // nothing changed
    Unsupported,  // nothing changed: the system or the file system has no such step
};

// A folder held open for the replacement of one file in it, the source: every name below is
// an entry of this folder, reached through the folder as it was opened whatever is renamed or
// linked in along its path meanwhile; a link at a name is never followed. The only way the
// engine changes files. Only reading throws (std::bad_alloc).
class HeldFolder {
  public:
    virtual ~HeldFolder() = default;

    // One try, without waiting, at the exclusive advisory lock kept in the file `name`,
    // created when missing with the permission bits of the entry `likeName` whatever the
    // umask, never written, left in place; anything but a regular file at the name gives
    // NotAFile unopened. It excludes only other takers of the same lock, in any process.
    virtual LockAttempt TryLock(const std::string& name, const std::string& likeName) = 0;

    // Opens the regular file `name` and reads it whole; it stays open as the source until
    // the folder goes. Nothing when it cannot be opened or read, a link or FIFO included.
    virtual std::optional<std::string> ReadSource(const std::string& name) = 0;

    // The regular file `name` read whole, without keeping it; nothing as for ReadSource.
    virtual std::optional<std::string> Read(const std::string& name) = 0;

    // The source read again from its start, from the file that was opened, whatever its name
    // leads to now. Nothing without a source.
    virtual std::optional<std::string> ReadSourceAgain() = 0;

    // Whether the entry `name` is still the source itself (not a link to it), even once the
    // source is closed.
    virtual bool IsSource(const std::string& name) = 0;

    // Closes the source, which Windows would otherwise keep from being replaced by a rename;
    // ReadSourceAgain gives nothing from then on.
    virtual void CloseSource() = 0;

    // Creates the entry `name` as a new file, open to its owner alone while written, writes
    // the pieces in order, gives it the source's metadata (best effort, never a failure)
    // and flushes data and metadata before closing. Anything already at the name (a file,
    // a link, a FIFO, a folder) makes it fail unopened. False on any failure, the close
    // included; a file it created may be left, partly written, for the caller to remove.
    virtual bool WriteNew(const std::string& name, std::span<const std::string_view> pieces) = 0;

    // Removes the entry `name` when it is no folder; a link goes itself.
    virtual bool Remove(const std::string& name) = 0;

    // Renames the entry `from` to `to`, replacing a file at `to`.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;

    // Swaps the entries `a` and `b` in one step, where the system and the file system can;
    // the source is then found under the other name.
    virtual ExchangeResult Exchange(const std::string& a, const std::string& b) = 0;

    // Renames `from` to `to` when nothing stands at `to`, in one step where the system can,
    // elsewhere right after looking; false, nothing changed, when something does.
    virtual bool RenameNew(const std::string& from, const std::string& to) = 0;

    // Whether anything stands at `name`: a file, a folder, a link even where it leads nowhere.
    virtual bool HasEntry(const std::string& name) = 0;

    // Flushes the folder's entries (creations, renames, removals) to the disk.
    virtual bool Sync() = 0;
};

// What the engine reads by path, and the folders it holds to change files in.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Size of a readable regular file, 0 when there is none (see ProbeFileSize).
    virtual std::uint64_t ProbeFileSize(const std::string& path) = 0;
    bool FileExists(const std::string& path) { return ProbeFileSize(path) > 0; }

    // The whole file, byte for byte, or nothing when it cannot be opened or read to its end
    // (a folder, FIFO or device gives nothing, without waiting); std::bad_alloc when it does
    // not fit in memory.
    virtual std::optional<std::string> ReadWhole(const std::string& path) = 0;

    // Streams the regular file's lines to `onLine` (as LineSplitter lends them) in reads of
    // 1 MiB, so its length does not matter and a file that shrinks meanwhile is read to its
    // new end; TextDecoder makes them UTF-8. False when the file could not be opened or a read
    // failed (lines before it were delivered). An exception from `onLine`, or std::bad_alloc
    // for a line too long, passes through, the file closed.
    virtual bool ReadLines(const std::string& path, const LineHandler& onLine) = 0;

    // The first `size` bytes of the regular file (all of it when shorter), to tell its kind
    // without reading it whole; nothing when it cannot be opened or read. The default reads
    // the file whole.
    virtual std::optional<std::string> ReadHead(const std::string& path, std::size_t size);

    // ListExactNames (exact_listing.h) of `folder`. Callers use it only to skip probes, so
    // the default, which promises nothing, is always right.
    virtual std::optional<std::vector<std::string>> ListExactNames(const std::string&) {
        return std::nullopt;
    }

    // The folder `folder` (ending in a separator, or empty for the current one) held open;
    // nothing when it cannot be opened, or is no folder.
    virtual std::unique_ptr<HeldFolder> HoldFolder(const std::string& folder) = 0;

    // The file that `path` finally names (absolute) when its last element is a symbolic
    // link, so that a caller can replace that file where it lives and keep the link; `path`
    // itself otherwise, or when the link leads nowhere. The default follows no links.
    virtual std::string LinkTarget(const std::string& path) { return path; }
};

// The machine's own file system.
FileSystem& RealFileSystem();

// The machine's probe, stateless and safe on any thread: the size of the regular file at
// `path`; 0 when it cannot be opened for reading (a path holding a NUL names no file), is no
// regular file or is held open for writing. On Linux the last needs a read lease, which only
// the owner (or CAP_LEASE) gets and some network or overlay file systems refuse; there a
// file being written counts as present. Never blocks or throws; leaves errno as it was.
std::uint64_t ProbeFileSize(const std::string& path);

// ProbeFileSize(path) > 0: an empty file, a folder, a device, a FIFO or a socket is missing.
bool FileExists(const std::string& path);

namespace probe {

// True for the two values the platform's open call uses to say "no file": 0 and -1.
bool IsInvalidHandle(std::int64_t handle);

}  // namespace probe

}  // namespace tamsel
