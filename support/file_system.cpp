#include "support/file_system.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "support/exact_listing.h"
#include "support/file_probe.h"
#include "support/line_splitter.h"
#include "support/native_file.h"
#include "support/text_decoder.h"

namespace tamsel {

namespace {

// Lists are streamed in pieces of this size: large enough that the system calls cost
// little next to the parsing, small enough to stay in cache.
constexpr std::size_t kChunkSize = 64 * 1024;

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

// Writes the pieces one after the other; false at the first that fails.
bool WritePieces(const File& file, std::span<const std::string_view> pieces) {
    return std::all_of(pieces.begin(), pieces.end(),
                       [&file](std::string_view piece) { return native::WriteAll(file, piece); });
}

// The lock lasts as long as its file is open.
class FileHeldLock final : public HeldLock {
  public:
    explicit FileHeldLock(File file) : file_(std::move(file)) {}

  private:
    File file_;
};

class RealFileSystemImpl final : public FileSystem {
  public:
    // Exact below 2^53 bytes, far beyond any list or menu file.
    double ProbeFileSize(const std::string& path) override {
        return static_cast<double>(tamsel::ProbeFileSize(path));
    }

    std::optional<std::string> ReadWhole(const std::string& path) override {
        File file = native::OpenForReading(path);
        if (!file.valid()) {
            return std::nullopt;
        }
        // One byte beyond the known size lets the end of the file show up without a
        // second allocation.
        std::string bytes(native::CurrentSize(file) + 1, '\0');
        if (!ReadToEnd(file, bytes)) {
            return std::nullopt;
        }
        return bytes;
    }

    bool ReadLines(const std::string& path,
                   const std::function<void(std::string& line)>& onLine) override {
        File file = native::OpenForReading(path);
        if (!file.valid()) {
            return false;
        }
        const auto buffer = std::make_unique<char[]>(kChunkSize);
        LineSplitter splitter(onLine);
        TextDecoder decoder;
        for (;;) {
            const long long got = native::ReadSome(file, buffer.get(), kChunkSize);
            if (got < 0) {
                return false;
            }
            if (got == 0) {
                break;
            }
            splitter.Feed(
                decoder.Decode(std::string_view(buffer.get(), static_cast<std::size_t>(got))));
        }
        splitter.Feed(decoder.Finish());
        splitter.Finish();
        return true;
    }

    bool WriteDurable(const std::string& path, std::string_view bytes) override {
        return WriteDurablePieces(path, std::span(&bytes, 1));
    }

    bool WriteDurablePieces(const std::string& path,
                            std::span<const std::string_view> pieces) override {
        File file = native::CreateForWriting(path);
        // Closing is part of the write: a failed close can mean lost data.
        return file.valid() && WritePieces(file, pieces) && native::FlushToDisk(file) &&
               file.close();
    }

    bool WriteNew(const std::string& path, std::span<const std::string_view> pieces,
                  const std::string& likePath) override {
        File file = native::CreateNew(path);
        const bool written = file.valid() && WritePieces(file, pieces);
        if (written) {
            // Metadata that cannot be copied (a file system without extended attributes, an
            // owner only root may give) leaves the file private, never the run failed.
            native::CopyMetadata(likePath, file);
        }
        return written && native::FlushToDisk(file) && file.close();
    }

    LockAttempt TryLock(const std::string& lockPath) override {
        File file = native::OpenLockFile(lockPath);
        LockAttempt attempt;
        if (!file.valid()) {
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
