#include "support/file_system.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>

#include "support/exact_listing.h"
#include "support/line_splitter.h"
#include "support/native_file.h"
#include "support/text_decoder.h"

namespace tamsel {

namespace {

// Whole files are read in steps of this size beyond the size they had when opened.
constexpr std::size_t kChunkSize = 64 * 1024;
// Lists are read in steps of this size, into one buffer.
constexpr std::size_t kListChunk = 1 << 20;

using native::File;

// At most `limit` bytes from the current position, read into room for `expected` bytes at
// first; a file that grows or shrinks meanwhile is still read to its actual end. Nothing
// when the file is not open or a read fails.
std::optional<std::string> ReadUpTo(const File& file, std::size_t expected, std::size_t limit) {
    if (!file.Valid()) {
        return std::nullopt;
    }
    std::string bytes(std::min(expected, limit), '\0');
    std::size_t filled = 0;
    while (filled < limit) {
        if (filled == bytes.size()) {
            bytes.resize(std::min(bytes.size() + kChunkSize, limit));
        }
        const long long got = native::ReadSome(file, bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return bytes;
}

// The whole file from its current position. One byte beyond the known size lets the end
// show up without a second allocation.
std::optional<std::string> ReadAll(const File& file) {
    const std::size_t size = file.Valid() ? native::CurrentSize(file) : 0;
    return ReadUpTo(file, size + 1, std::numeric_limits<std::size_t>::max());
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

}  // namespace

namespace native {

LockAttempt Folder::TryLock(const std::string& name, const std::string& likeName) {
    File file;
    const LockState state = Lock(name, EntryPermissions(likeName, kLockPermissions), file);
    if (state != LockState::Held) {
        return {state, nullptr};
    }
    return {state, std::make_unique<FileHeldLock>(std::move(file))};
}

std::optional<std::string> Folder::ReadSource(const std::string& name) {
    source_ = OpenEntry(name);
    sourceId_ = source_.Valid() ? IdOf(source_) : std::nullopt;
    if (!sourceId_) {
        source_ = File();
        return std::nullopt;
    }
    return ReadSourceAgain();
}

std::optional<std::string> Folder::Read(const std::string& name) {
    return ReadAll(OpenEntry(name));
}

std::optional<std::string> Folder::ReadSourceAgain() {
    if (!source_.Valid() || !Rewind(source_)) {
        return std::nullopt;
    }
    return ReadAll(source_);
}

bool Folder::IsSource(const std::string& name) {
    return sourceId_ && EntryId(name) == sourceId_;
}

void Folder::CloseSource() {
    source_.Close();
}

// The metadata goes on before the flush, so that the flush covers it too.
bool Folder::WriteNew(const std::string& name, std::span<const std::string_view> pieces) {
    File file = CreateEntry(name);
    const bool written = file.Valid() && WritePieces(file, pieces);
    if (written && source_.Valid()) {
        // Metadata that cannot be copied (a file system without extended attributes, an
        // owner only root may give) leaves the file private, never the run failed.
        CopyMetadata(source_, file);
    }
    return written && FlushToDisk(file) && file.Close();
}

}  // namespace native

namespace {

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
        long long got = 0;
        while ((got = native::ReadSome(file, chunk.get(), kListChunk)) > 0) {
            splitter.Feed(decoder.Decode({chunk.get(), static_cast<std::size_t>(got)}));
        }
        if (got < 0) {
            return false;
        }
        splitter.Feed(decoder.Finish());
        splitter.Finish();
        return true;
    }

    std::optional<std::string> ReadHead(const std::string& path, std::size_t size) override {
        return ReadUpTo(native::OpenForReading(path), size, size);
    }

    std::unique_ptr<HeldFolder> HoldFolder(const std::string& folder) override {
        return native::Folder::Open(folder);
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

bool probe::IsInvalidHandle(std::int64_t handle) {
    return handle >= -1 && handle <= 0;
}

bool FileExists(const std::string& path) {
    return ProbeFileSize(path) > 0;
}

std::uint64_t ProbeFileSize(const std::string& path) {
    const native::SystemErrorKeeper keepError;  // no trace of a failed probe outlives the call
    const native::File file = native::OpenForReading(path);
    if (probe::IsInvalidHandle(native::HandleNumber(file.Get())) ||
        native::HeldOpenForWriting(file)) {
        return 0;
    }
    return native::CurrentSize(file);
}

FileSystem& RealFileSystem() {
    static RealFileSystemImpl instance;
    return instance;
}

}  // namespace tamsel
