#pragma once

// The file operations the conversion run needs, behind one small interface so that a test
// can make any single step fail. Paths are UTF-8. No operation throws, except that reading
// throws std::bad_alloc when the file does not fit in memory, so that a caller can tell a
// file too large from one that cannot be read.

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel {

// Stands for a lock while it lives; destroying it releases the lock.
class HeldLock {
  public:
    virtual ~HeldLock() = default;
};

enum class LockState {
    Held,    // the lock is ours until the HeldLock goes
    Busy,    // another holder, in this process or another, has it now
    Failed,  // no lock file could be opened at the name
};

struct LockAttempt {
    LockState state = LockState::Failed;
    std::unique_ptr<HeldLock> lock;  // set when Held
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Size of a readable regular file, 0 when there is none (see ProbeFileSize).
    virtual double ProbeFileSize(const std::string& path) = 0;
    bool FileExists(const std::string& path) { return ProbeFileSize(path) > 0; }

    // The whole file, byte for byte, or nothing when it cannot be opened or read to its end;
    // std::bad_alloc when it does not fit in memory.
    // Only regular files are read: a folder, FIFO or device gives nothing, without waiting.
    virtual std::optional<std::string> ReadWhole(const std::string& path) = 0;

    // Streams the file's lines to `onLine` in order, without reading the file whole. A line
    // ends at CR LF, a lone CR or a lone LF; the break is not part of the line. A final
    // line without a break is delivered too; an empty file delivers none. `onLine` may
    // change the line it is handed. False when the file could not be opened or a read
    // failed (lines read before the failure have been delivered). Only regular files are
    // read, in chunks of 64 KiB, so the file's length does not matter. An exception thrown
    // by `onLine`, or std::bad_alloc for a line that does not fit in memory, passes
    // through, the file closed.
    virtual bool ReadLines(const std::string& path,
                           const std::function<void(std::string& line)>& onLine) = 0;

    // Creates or truncates `path` (a new file gets the usual permissions under the umask),
    // writes `bytes` and flushes them to the disk before closing. False on any failure,
    // the close included; what was written may then be partial. On POSIX a symbolic link
    // at `path` is a failure: nothing is written through it.
    virtual bool WriteDurable(const std::string& path, std::string_view bytes) = 0;

    // WriteDurable of the pieces one after the other, so that a large text kept in pieces
    // need not be joined into one string first. The default joins them and calls
    // WriteDurable.
    virtual bool WriteDurablePieces(const std::string& path,
                                    std::span<const std::string_view> pieces);

    // Creates `path` as a new file, open to its owner alone while written, writes the pieces
    // one after the other, gives the file the metadata of `likePath` as CopyMetadata on the
    // platform does (best effort, never a failure), and flushes data and metadata to the disk
    // before closing. Whatever stands at `path` already (a file, a link, a FIFO, a folder)
    // makes it fail without being opened or written through. False on any failure, the
    // close included; a file it created may then be left, partly written, for the caller
    // to remove. The default writes through WriteDurablePieces, for file systems that
    // hold nothing that could stand in the way.
    virtual bool WriteNew(const std::string& path, std::span<const std::string_view> pieces,
                          const std::string& likePath);

    // One try, without waiting, at the exclusive advisory lock kept in the file `lockPath`.
    // The lock file is created when missing, never written, and stays in place afterwards;
    // a link or anything but a regular file at the name gives Failed, as does a folder in
    // which it cannot be created. The lock excludes only other takers of the same lock.
    // The default holds nothing, for file systems that no other process shares.
    virtual LockAttempt TryLock(const std::string& lockPath);

    // Removes a file (not a folder). False when nothing was removed.
    virtual bool Remove(const std::string& path) = 0;

    // Renames `from` to `to`, replacing a file at `to`. False on failure.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;

    // Flushes a folder's entries (renames, creations) to the disk. False on failure.
    virtual bool SyncFolder(const std::string& folder) = 0;

    // The names of the entries of `folder` (ending in a separator, or empty for the current
    // folder), spelled as stored, when a name missing from them is certain to name no
    // entry there (see ListExactNames in exact_listing.h); nothing when that cannot be
    // promised. Callers use it only to skip probes, so the default, which promises
    // nothing, is always right.
    virtual std::optional<std::vector<std::string>> ListExactNames(const std::string& folder) {
        (void)folder;
        return std::nullopt;
    }

    // The file that `path` finally names when its last element is a symbolic link (links
    // followed, the result absolute), so that a caller can replace that file where it lives
    // and keep the link; `path` itself otherwise, or when the link leads nowhere. The
    // default follows no links.
    virtual std::string LinkTarget(const std::string& path) { return path; }
};

// The machine's own file system.
FileSystem& RealFileSystem();

}  // namespace tamsel
