#include "support/file_system.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "support/exact_listing.h"
#include "support/file_probe.h"
#include "support/line_splitter.h"
#include "support/native_file.h"
#include "support/path.h"
#include "support/text_decoder.h"

namespace tamsel {

namespace {

// Whole files are read in steps of this size beyond the size they had when opened.
constexpr std::size_t kChunkSize = 64 * 1024;
// Lists are read in steps of this size, into one buffer.
constexpr std::size_t kListChunk = 1 << 20;

using native::File;

// Reads from the current offset to the end of the file into `out`, which already holds
// room for the size the file had when opened; a file that grows or shrinks meanwhile is
// still read to its actual end.
bool ReadToEnd(const File& file, std::string& out) {
    std::size_t filled = 0;
    for (;;) {
        if (filled == out.size()) {
            out.resize(out.size() + kChunkSize);
        }
        const long long got = native::ReadSome(file, out.data() + filled, out.size() - filled);
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            out.resize(filled);
            return true;
        }
        filled += static_cast<std::size_t>(got);
    }
}

// The whole file from its current position; nothing when it is not open or a read fails.
std::optional<std::string> ReadAll(const File& file) {
    if (!file.Valid()) {
        return std::nullopt;
    }
    // One byte beyond the known size lets the end of the file show up without a second
    // allocation.
    std::string bytes(native::CurrentSize(file) + 1, '\0');
    if (!ReadToEnd(file, bytes)) {
        return std::nullopt;
    }
    return bytes;
}

// Writes the pieces one after the other; false at the first that fails. The disk starts
// on each piece while the next is copied, so the flush after waits for the last alone.
bool WritePieces(const File& file, std::span<const std::string_view> pieces) {
    return std::all_of(pieces.begin(), pieces.end(), [&file](std::string_view piece) {
        if (!native::WriteAll(file, piece)) {
            return false;
        }
        native::StartWriteBack(file);
        return true;
    });
}

// The lock lasts as long as its file is open.
class FileHeldLock final : public HeldLock {
  public:
    explicit FileHeldLock(File file) : file_(std::move(file)) {}

  private:
    File file_;
};

// A lock file for a name that no menu stands beside.
constexpr unsigned kLockPermissions = 0644;

LockAttempt LockIn(const native::Folder& folder, const std::string& name, unsigned mode) {
    File file;
    LockAttempt attempt;
    switch (native::OpenLockEntry(folder, name, mode, file)) {
        case native::LockFileOpen::Opened:
            break;
        case native::LockFileOpen::NotAFile:
            attempt.state = LockState::NotAFile;
            return attempt;
        case native::LockFileOpen::Failed:
            return attempt;
    }
    switch (native::TryLockExclusive(file)) {
        case native::LockTry::Taken:
            attempt.state = LockState::Held;
            attempt.lock = std::make_unique<FileHeldLock>(std::move(file));
            break;
        case native::LockTry::Busy:
            attempt.state = LockState::Busy;
            break;
        case native::LockTry::Failed:
            break;
    }
    return attempt;
}

// Writes the pieces to a new file and flushes it; the metadata goes on first, so that the
// flush covers it too.
bool WriteNewFile(File file, std::span<const std::string_view> pieces, const File& like) {
    const bool written = file.Valid() && WritePieces(file, pieces);
    if (written && like.Valid()) {
        // Metadata that cannot be copied (a file system without extended attributes, an
        // owner only root may give) leaves the file private, never the run failed.
        native::CopyMetadata(like, file);
    }
    return written && native::FlushToDisk(file) && file.Close();
}

class NativeHeldFolder final : public HeldFolder {
  public:
    explicit NativeHeldFolder(native::Folder folder) : folder_(std::move(folder)) {}

    LockAttempt TryLock(const std::string& name, const std::string& likeName) override {
        return LockIn(folder_, name, native::EntryPermissions(folder_, likeName, kLockPermissions));
    }

    std::optional<std::string> ReadSource(const std::string& name) override {
        source_ = native::OpenEntryForReading(folder_, name);
        sourceId_ = source_.Valid() ? native::IdOf(source_) : std::nullopt;
        if (!sourceId_) {
            source_ = File();
            return std::nullopt;
        }
        return ReadSourceAgain();
    }

    std::optional<std::string> Read(const std::string& name) override {
        return ReadAll(native::OpenEntryForReading(folder_, name));
    }

    std::optional<std::string> ReadSourceAgain() override {
        if (!source_.Valid() || !native::Rewind(source_)) {
            return std::nullopt;
        }
        return ReadAll(source_);
    }

    bool IsSource(const std::string& name) override {
        return sourceId_ && native::EntryId(folder_, name) == sourceId_;
    }

    void CloseSource() override { source_.Close(); }

    bool WriteNew(const std::string& name, std::span<const std::string_view> pieces) override {
        return WriteNewFile(native::CreateNewEntry(folder_, name, source_), pieces, source_);
    }

    bool Remove(const std::string& name) override { return native::RemoveEntry(folder_, name); }

    bool Rename(const std::string& from, const std::string& to) override {
        return native::RenameEntry(folder_, from, to);
    }

    ExchangeResult Exchange(const std::string& a, const std::string& b) override {
        switch (native::ExchangeEntries(folder_, a, b)) {
            case native::Exchange::Done:
                return ExchangeResult::Exchanged;
            case native::Exchange::Unsupported:
                return ExchangeResult::Unsupported;
            case native::Exchange::Failed:
                break;
        }
        return ExchangeResult::Failed;
    }

    bool RenameNew(const std::string& from, const std::string& to) override {
        return native::RenameEntryNew(folder_, from, to);
    }

    bool HasEntry(const std::string& name) override { return native::EntryExists(folder_, name); }

    bool Sync() override { return native::SyncFolder(folder_); }

  private:
    native::Folder folder_;
    File source_;
    std::optional<native::FileId> sourceId_;
};

// The folder part of a path and the entry it names there.
std::pair<std::string, std::string> SplitEntry(const std::string& path) {
    std::string folder = NativeFolderOf(path);
    std::string name = path.substr(folder.size());
    return {std::move(folder), std::move(name)};
}

class RealFileSystemImpl final : public FileSystem {
  public:
    std::uint64_t ProbeFileSize(const std::string& path) override {
        return tamsel::ProbeFileSize(path);
    }

    std::optional<std::string> ReadWhole(const std::string& path) override {
        return ReadAll(native::OpenForReading(path));
    }

    bool ReadLines(const std::string& path, const LineHandler& onLine) override {
        const File file = native::OpenForReading(path);
        if (!file.Valid()) {
            return false;
        }
        LineSplitter splitter(onLine);
        TextDecoder decoder;
        const auto chunk = std::make_unique_for_overwrite<char[]>(kListChunk);
        for (;;) {
            const long long got = native::ReadSome(file, chunk.get(), kListChunk);
            if (got < 0) {
                return false;
            }
            if (got == 0) {
                break;
            }
            splitter.Feed(decoder.Decode({chunk.get(), static_cast<std::size_t>(got)}));
        }
        splitter.Feed(decoder.Finish());
        splitter.Finish();
        return true;
    }

    std::optional<std::string> ReadHead(const std::string& path, std::size_t size) override {
        const File file = native::OpenForReading(path);
        if (!file.Valid()) {
            return std::nullopt;
        }
        std::string head(size, '\0');
        std::size_t filled = 0;
        while (filled < size) {
            const long long got = native::ReadSome(file, head.data() + filled, size - filled);
            if (got < 0) {
                return std::nullopt;
            }
            if (got == 0) {
                break;
            }
            filled += static_cast<std::size_t>(got);
        }
        head.resize(filled);
        return head;
    }

    bool WriteDurable(const std::string& path, std::string_view bytes) override {
        return WriteDurablePieces(path, std::span(&bytes, 1));
    }

    bool WriteDurablePieces(const std::string& path,
                            std::span<const std::string_view> pieces) override {
        File file = native::CreateForWriting(path);
        // Closing is part of the write: a failed close can mean lost data.
        return file.Valid() && WritePieces(file, pieces) && native::FlushToDisk(file) &&
               file.Close();
    }

    bool WriteNew(const std::string& path, std::span<const std::string_view> pieces,
                  const std::string& likePath) override {
        const File like = native::OpenForReading(likePath);
        return WriteNewFile(native::CreateNew(path, like), pieces, like);
    }

    LockAttempt TryLock(const std::string& lockPath) override {
        const auto [folder, name] = SplitEntry(lockPath);
        return LockIn(native::OpenFolder(folder), name, kLockPermissions);
    }

    std::unique_ptr<HeldFolder> HoldFolder(const std::string& folder) override {
        native::Folder held = native::OpenFolder(folder);
        if (!held.handle.Valid()) {
            return nullptr;
        }
        return std::make_unique<NativeHeldFolder>(std::move(held));
    }

    bool Remove(const std::string& path) override { return native::RemoveFile(path); }

    bool Rename(const std::string& from, const std::string& to) override {
        return native::RenameFile(from, to);
    }

    bool SyncFolder(const std::string& folder) override {
        return native::SyncFolderEntries(folder);
    }

    std::optional<std::vector<std::string>> ListExactNames(const std::string& folder) override {
        return tamsel::ListExactNames(folder);
    }

    std::string LinkTarget(const std::string& path) override { return native::FinalTarget(path); }
};

}  // namespace

std::optional<std::string> FileSystem::ReadHead(const std::string& path, std::size_t size) {
    std::optional<std::string> whole = ReadWhole(path);
    if (whole && whole->size() > size) {
        whole->resize(size);
    }
    return whole;
}

bool FileSystem::WriteDurablePieces(const std::string& path,
                                    std::span<const std::string_view> pieces) {
    if (pieces.size() == 1) {
        return WriteDurable(path, pieces.front());
    }
    std::string joined;
    for (std::string_view piece : pieces) {
        joined += piece;
    }
    return WriteDurable(path, joined);
}

bool FileSystem::WriteNew(const std::string& path, std::span<const std::string_view> pieces,
                          const std::string& likePath) {
    (void)likePath;
    return WriteDurablePieces(path, pieces);
}

namespace {

// Entries reached by their paths, through the file system's own calls. The source is told by
// its path, which follows it through this folder's own renames and exchanges.
class PathHeldFolder final : public HeldFolder {
  public:
    PathHeldFolder(FileSystem& files, std::string folder)
        : files_(files), folder_(std::move(folder)) {}

    LockAttempt TryLock(const std::string& name, const std::string&) override {
        return files_.TryLock(folder_ + name);
    }

    std::optional<std::string> ReadSource(const std::string& name) override {
        source_ = folder_ + name;
        open_ = true;
        return files_.ReadWhole(source_);
    }

    std::optional<std::string> Read(const std::string& name) override {
        return files_.ReadWhole(folder_ + name);
    }

    std::optional<std::string> ReadSourceAgain() override {
        return open_ ? files_.ReadWhole(source_) : std::nullopt;
    }

    bool IsSource(const std::string& name) override {
        return !source_.empty() && folder_ + name == source_;
    }

    void CloseSource() override { open_ = false; }

    bool WriteNew(const std::string& name, std::span<const std::string_view> pieces) override {
        return files_.WriteNew(folder_ + name, pieces, open_ ? source_ : std::string());
    }

    bool Remove(const std::string& name) override {
        const bool removed = files_.Remove(folder_ + name);
        Moved(removed, folder_ + name, "");
        return removed;
    }

    bool Rename(const std::string& from, const std::string& to) override {
        const bool renamed = files_.Rename(folder_ + from, folder_ + to);
        Moved(renamed && from != to, folder_ + to, "");
        Moved(renamed, folder_ + from, folder_ + to);
        return renamed;
    }

    ExchangeResult Exchange(const std::string& a, const std::string& b) override {
        const ExchangeResult result = files_.Exchange(folder_ + a, folder_ + b);
        if (result == ExchangeResult::Exchanged && source_ == folder_ + a) {
            source_ = folder_ + b;
        } else if (result == ExchangeResult::Exchanged && source_ == folder_ + b) {
            source_ = folder_ + a;
        }
        return result;
    }

    bool RenameNew(const std::string& from, const std::string& to) override {
        const bool renamed = files_.RenameNew(folder_ + from, folder_ + to);
        Moved(renamed, folder_ + from, folder_ + to);
        return renamed;
    }

    bool HasEntry(const std::string& name) override { return files_.HasEntry(folder_ + name); }

    bool Sync() override { return files_.SyncFolder(folder_.empty() ? "." : folder_); }

  private:
    // The source, when it stood at `from`, now stands at `to` (nowhere when empty).
    void Moved(bool done, const std::string& from, const std::string& to) {
        if (done && source_ == from) {
            source_ = to;
        }
    }

    FileSystem& files_;
    std::string folder_;
    std::string source_;  // where the file read as the source stands now
    bool open_ = false;
};

}  // namespace

ExchangeResult FileSystem::Exchange(const std::string& a, const std::string& b) {
    (void)a;
    (void)b;
    return ExchangeResult::Unsupported;
}

bool FileSystem::RenameNew(const std::string& from, const std::string& to) {
    return !HasEntry(to) && Rename(from, to);
}

std::unique_ptr<HeldFolder> FileSystem::HoldFolder(const std::string& folder) {
    return std::make_unique<PathHeldFolder>(*this, folder);
}

LockAttempt FileSystem::TryLock(const std::string& lockPath) {
    (void)lockPath;
    LockAttempt attempt;
    attempt.state = LockState::Held;
    attempt.lock = std::make_unique<HeldLock>();
    return attempt;
}

FileSystem& RealFileSystem() {
    static RealFileSystemImpl instance;
    return instance;
}

}  // namespace tamsel
