#pragma once

// The file operations the conversion run needs, behind one small interface so that a test
// can make any single step fail. Paths are UTF-8. No operation throws, except that reading
// throws std::bad_alloc when the file does not fit in memory, so that a caller can tell a
// file too large from one that cannot be read.

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
// an entry of this folder (no separators), reached through the folder as it was opened,
// whatever is renamed or linked in along its path meanwhile, and a symbolic link at a name
// is never followed. Nothing here throws, except that reading throws std::bad_alloc as
// FileSystem::ReadWhole does.
class HeldFolder {
  public:
    virtual ~HeldFolder() = default;

    // FileSystem::TryLock of the entry `name`. A lock file made here gets the permission
    // bits of the entry `likeName`, whoever's umask is in force.
    virtual LockAttempt TryLock(const std::string& name, const std::string& likeName) = 0;

    // Opens the regular file `name` and reads it whole; it stays open as the source until
    // the folder goes. Nothing when it cannot be opened or read, a link or FIFO at the name
    // included.
    virtual std::optional<std::string> ReadSource(const std::string& name) = 0;

    // The regular file `name` read whole, without keeping it; nothing as for ReadSource.
    virtual std::optional<std::string> Read(const std::string& name) = 0;

    // The source's bytes read again from its start, from the file that was opened, whatever
    // its name leads to now. Nothing without a source.
    virtual std::optional<std::string> ReadSourceAgain() = 0;

    // Whether the entry `name` is still the source itself (the same file, not a link to it).
    // Still answered once the source is closed.
    virtual bool IsSource(const std::string& name) = 0;

    // Closes the source, which Windows would otherwise keep from being replaced by a rename;
    // ReadSourceAgain gives nothing from then on.
    virtual void CloseSource() = 0;

    // FileSystem::WriteNew of the entry `name`, with the source's metadata.
    virtual bool WriteNew(const std::string& name, std::span<const std::string_view> pieces) = 0;

    // Removes the entry `name` when it is no folder; a link goes itself.
    virtual bool Remove(const std::string& name) = 0;

    // Renames the entry `from` to `to`, replacing a file at `to`.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;

    // Swaps the entries `a` and `b` in one step, where the system and the file system can.
    // The source is then found under the other name (IsSource).
    virtual ExchangeResult Exchange(const std::string& a, const std::string& b) = 0;

    // Renames the entry `from` to `to` when nothing stands at `to`, in one step where the
    // system can, elsewhere right after looking; false, nothing changed, when something does.
    virtual bool RenameNew(const std::string& from, const std::string& to) = 0;

    // Whether anything stands at `name`: a file, a folder, a link even where it leads nowhere.
    virtual bool HasEntry(const std::string& name) = 0;

    // Flushes the folder's entries to the disk.
    virtual bool Sync() = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Size of a readable regular file, 0 when there is none (see ProbeFileSize).
    virtual std::uint64_t ProbeFileSize(const std::string& path) = 0;
    bool FileExists(const std::string& path) { return ProbeFileSize(path) > 0; }

    // The whole file, byte for byte, or nothing when it cannot be opened or read to its end;
    // std::bad_alloc when it does not fit in memory.
    // Only regular files are read: a folder, FIFO or device gives nothing, without waiting.
    virtual std::optional<std::string> ReadWhole(const std::string& path) = 0;

    // Streams the file's lines to `onLine` in order, without reading the file whole, as
    // UTF-8: a UTF-8 byte-order mark at the start is dropped and a file with a UTF-16 mark
    // is decoded (see TextDecoder); other files are passed on byte for byte. A line
    // ends at CR LF, a lone CR or a lone LF; the break is not part of the line. A final
    // line without a break is delivered too; an empty file delivers none. Each line is lent
    // to `onLine` for the call only (LineSplitter). Only regular files are read, in plain
    // reads of 1 MiB into one buffer, so the file's length does not matter; a file that
    // shrinks meanwhile is read to its new end. False when the file could not be opened or
    // a read failed (lines read before the failure have been delivered). An exception
    // thrown by `onLine`, or std::bad_alloc for a line that does not fit in memory, passes
    // through, the file closed.
    virtual bool ReadLines(const std::string& path, const LineHandler& onLine) = 0;

    // The first `size` bytes of the file, byte for byte (all of it when it is shorter), so
    // that its kind can be told without reading it whole; nothing when it cannot be opened
    // or read. Only regular files are read. The default reads the file whole.
    virtual std::optional<std::string> ReadHead(const std::string& path, std::size_t size);

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

    // HeldFolder::Exchange, RenameNew and HasEntry by path, for the default HoldFolder. The
    // defaults swap nothing, look before renaming, and see only files that FileExists sees.
    virtual ExchangeResult Exchange(const std::string& a, const std::string& b);
    virtual bool RenameNew(const std::string& from, const std::string& to);
    virtual bool HasEntry(const std::string& path) { return FileExists(path); }

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

    // The folder `folder` (ending in a separator, or empty for the current one) held open;
    // nothing when it cannot be opened. The default reaches the entries by their paths
    // through this file system, for file systems in which nothing changes behind a run's
    // back; its source is read again by its path and is always the one at its name.
    virtual std::unique_ptr<HeldFolder> HoldFolder(const std::string& folder);

    // The file that `path` finally names when its last element is a symbolic link (links
    // followed, the result absolute), so that a caller can replace that file where it lives
    // and keep the link; `path` itself otherwise, or when the link leads nowhere. The
    // default follows no links.
    virtual std::string LinkTarget(const std::string& path) { return path; }
};

// The machine's own file system.
FileSystem& RealFileSystem();

}  // namespace tamsel
