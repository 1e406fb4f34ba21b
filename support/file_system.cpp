#include "support/file_system.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <utility>

#include "support/exact_listing.h"
#include "support/file_probe.h"
#include "support/line_splitter.h"
#include "support/text_decoder.h"

#include "support/utf8_path.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace tamsel {

namespace {

// Lists are streamed in pieces of this size: large enough that the system calls cost
// little next to the parsing, small enough to stay in cache.
constexpr std::size_t kChunkSize = 64 * 1024;

#ifdef _WIN32

using NativeHandle = HANDLE;
const NativeHandle kNoHandle = INVALID_HANDLE_VALUE;

void CloseNative(NativeHandle handle, bool& ok) {
    ok = CloseHandle(handle) != 0;
}

#else

using NativeHandle = int;
constexpr NativeHandle kNoHandle = -1;

// close() reports write-back errors on some file systems, so its answer matters after
// writing. It is never retried: on Linux the descriptor is gone even after EINTR.
void CloseNative(NativeHandle fd, bool& ok) {
    ok = ::close(fd) == 0;
}

#endif

// Owns an open file and closes it on every way out, exceptions from a line handler
// included.
class File {
  public:
    File() = default;
    explicit File(NativeHandle handle) : handle_(handle) {}
    File(File&& other) noexcept : handle_(std::exchange(other.handle_, kNoHandle)) {}
    File& operator=(File&&) = delete;
    ~File() { close(); }

    bool valid() const { return handle_ != kNoHandle; }
    NativeHandle get() const { return handle_; }
    // Closes now; false when the system reports that the close failed.
    bool close() {
        bool ok = true;
        if (valid()) {
            CloseNative(std::exchange(handle_, kNoHandle), ok);
        }
        return ok;
    }

  private:
    NativeHandle handle_ = kNoHandle;
};

#ifdef _WIN32

std::wstring Wide(const std::string& path) {
    return WidenUtf8(path);
}

// Opens a file for reading; folders (which CreateFileW refuses without backup semantics)
// and devices are refused, as the file probe refuses them.
File OpenForReading(const std::string& path) {
    const std::wstring widePath = Wide(path);
    if (widePath.empty()) {
        return File();
    }
    File file(CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.valid() && GetFileType(file.get()) != FILE_TYPE_DISK) {
        return File();
    }
    return file;
}

// The size the file has now, or 0 when the system cannot tell.
std::size_t CurrentSize(const File& file) {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file.get(), &size) ? static_cast<std::size_t>(size.QuadPart) : 0;
}

// Bytes read into `buffer`: 0 at the end of the file, -1 on failure.
long long ReadSome(const File& file, char* buffer, std::size_t size) {
    DWORD got = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    return ReadFile(file.get(), buffer, wanted, &got, nullptr) ? static_cast<long long>(got) : -1;
}

bool WriteAll(const File& file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD wrote = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!WriteFile(file.get(), bytes.data(), wanted, &wrote, nullptr) || wrote == 0) {
            return false;
        }
        bytes.remove_prefix(wrote);
    }
    return true;
}

File CreateForWriting(const std::string& path) {
    const std::wstring widePath = Wide(path);
    if (widePath.empty()) {
        return File();
    }
    return File(CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool FlushToDisk(const File& file) {
    return FlushFileBuffers(file.get()) != 0;
}

bool RemoveFile(const std::string& path) {
    const std::wstring widePath = Wide(path);
    return !widePath.empty() && DeleteFileW(widePath.c_str()) != 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
    const std::wstring wideFrom = Wide(from);
    const std::wstring wideTo = Wide(to);
    return !wideFrom.empty() && !wideTo.empty() &&
           MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// Windows keeps folder entries durable itself once MoveFileEx was asked to write
// through; what is left to check is that the folder is there.
bool SyncFolderEntries(const std::string& folder) {
    const std::wstring wideFolder = Wide(folder);
    if (wideFolder.empty()) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(wideFolder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Making a symbolic link takes privileges on Windows and menu files are not linked there;
// a path is taken as it is, so a linked menu file is replaced as a file.
std::string FinalTarget(const std::string& path) {
    return path;
}

#else

// Opens a regular file for reading. O_NONBLOCK keeps a FIFO without a writer from hanging
// the open (and changes nothing for a regular file); folders, FIFOs and devices are
// refused, as the file probe refuses them.
File OpenForReading(const std::string& path) {
    if (!IsPassablePath(path)) {
        return File();
    }
    File file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.valid() && (fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))) {
        return File();
    }
    return file;
}

std::size_t CurrentSize(const File& file) {
    struct stat status {};
    return fstat(file.get(), &status) == 0 ? static_cast<std::size_t>(status.st_size) : 0;
}

long long ReadSome(const File& file, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = read(file.get(), buffer, size);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

bool WriteAll(const File& file, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t wrote = write(file.get(), bytes.data(), bytes.size());
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
}

// 0666 lets the user's umask decide, as for any file a program creates. O_NOFOLLOW: a
// symbolic link planted at the name would otherwise have some other file overwritten.
File CreateForWriting(const std::string& path) {
    if (!IsPassablePath(path)) {
        return File();
    }
    return File(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666));
}

bool FlushToDisk(const File& file) {
    int result = 0;
    do {
        result = fsync(file.get());
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// unlink() refuses folders, which is what a file-removing call should do.
bool RemoveFile(const std::string& path) {
    return IsPassablePath(path) && unlink(path.c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
    return IsPassablePath(from) && IsPassablePath(to) && rename(from.c_str(), to.c_str()) == 0;
}

bool SyncFolderEntries(const std::string& folder) {
    if (!IsPassablePath(folder)) {
        return false;
    }
    File handle(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return handle.valid() && FlushToDisk(handle) && handle.close();
}

// Only a path whose last element is a link comes back resolved (realpath() resolves every
// link on the way and makes the path absolute); every other path keeps its spelling.
std::string FinalTarget(const std::string& path) {
    struct stat status {};
    if (!IsPassablePath(path) || lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
        return path;
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr),
                                                               &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

#endif

// Reads from the current offset to the end of the file into `out`, which already holds
// room for the size the file had when opened; a file that grows or shrinks meanwhile is
// still read to its actual end.
bool ReadToEnd(const File& file, std::string& out) {
    std::size_t filled = 0;
    for (;;) {
        if (filled == out.size()) {
            out.resize(out.size() + kChunkSize);
        }
        const long long got = ReadSome(file, out.data() + filled, out.size() - filled);
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

class RealFileSystemImpl final : public FileSystem {
  public:
    double ProbeFileSize(const std::string& path) override { return tamsel::ProbeFileSize(path); }

    std::optional<std::string> ReadWhole(const std::string& path) override {
        try {
            File file = OpenForReading(path);
            if (!file.valid()) {
                return std::nullopt;
            }
            // One byte beyond the known size lets the end of the file show up without a
            // second allocation.
            std::string bytes(CurrentSize(file) + 1, '\0');
            if (!ReadToEnd(file, bytes)) {
                return std::nullopt;
            }
            return bytes;
        } catch (const std::bad_alloc&) {
            return std::nullopt;
        }
    }

    bool ReadLines(const std::string& path,
                   const std::function<void(std::string& line)>& onLine) override {
        File file = OpenForReading(path);
        if (!file.valid()) {
            return false;
        }
        try {
            const auto buffer = std::make_unique<char[]>(kChunkSize);
            LineSplitter splitter(onLine);
            TextDecoder decoder;
            for (;;) {
                const long long got = ReadSome(file, buffer.get(), kChunkSize);
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
        } catch (const std::bad_alloc&) {
            return false;
        }
    }

    bool WriteDurable(const std::string& path, std::string_view bytes) override {
        File file = CreateForWriting(path);
        // Closing is part of the write: a failed close can mean lost data.
        return file.valid() && WriteAll(file, bytes) && FlushToDisk(file) && file.close();
    }

    bool WriteDurablePieces(const std::string& path,
                            std::span<const std::string_view> pieces) override {
        File file = CreateForWriting(path);
        bool written = file.valid();
        for (std::size_t i = 0; written && i < pieces.size(); ++i) {
            written = WriteAll(file, pieces[i]);
        }
        return written && FlushToDisk(file) && file.close();
    }

    bool Remove(const std::string& path) override { return RemoveFile(path); }

    bool Rename(const std::string& from, const std::string& to) override {
        return RenameFile(from, to);
    }

    bool SyncFolder(const std::string& folder) override { return SyncFolderEntries(folder); }

    std::optional<std::vector<std::string>> ListExactNames(const std::string& folder) override {
        return tamsel::ListExactNames(folder);
    }

    std::string LinkTarget(const std::string& path) override { return FinalTarget(path); }
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

FileSystem& RealFileSystem() {
    static RealFileSystemImpl instance;
    return instance;
}

}  // namespace tamsel
