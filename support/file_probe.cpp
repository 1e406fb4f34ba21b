#include "support/file_probe.h"

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
#include <csignal>
#endif

namespace tamsel {

bool IsInvalidHandle(std::int64_t handle) {
    return handle >= -1 && handle <= 0;
}

double LargeToDouble(std::int32_t low, std::int32_t high) {
    constexpr double kHalf = 4294967296.0;  // 2^32
    const double lowValue = low < 0 ? low + kHalf : low;
    const double highValue = high < 0 ? high + kHalf : high;
    return highValue * kHalf + lowValue;
}

bool FileExists(const std::string& path) {
    return ProbeFileSize(path) > 0;
}

#ifdef _WIN32

double ProbeFileSize(const std::string& path) {
    const std::wstring widePath = WidenUtf8(path);
    if (widePath.empty()) {
        return 0;
    }
    const DWORD savedError = GetLastError();
    // Sharing read access only makes the open fail while another process writes the file,
    // which is what lets a file still being written count as missing.
    HANDLE handle = CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (IsInvalidHandle(reinterpret_cast<std::intptr_t>(handle))) {
        SetLastError(savedError);
        return 0;
    }
    LARGE_INTEGER size{};
    // A handle without a size (a device) reads as empty rather than as a stale size.
    const double result = GetFileSizeEx(handle, &size)
                              ? LargeToDouble(static_cast<std::int32_t>(size.LowPart),
                                              static_cast<std::int32_t>(size.HighPart))
                              : 0;
    CloseHandle(handle);
    SetLastError(savedError);
    return result;
}

#else

namespace {

// open() hands out descriptor 0 only when standard input is closed; the 0/-1 rule of
// IsInvalidHandle would then call a real file missing. Moving such a descriptor out of
// the way keeps the rule and the answer both right.
int OpenForProbe(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd == 0) {
        const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
        close(fd);
        fd = moved;
    }
    return fd;
}

// Whether some process holds the file open for writing. A read lease is refused with
// EAGAIN exactly then (our own writers count too, which suits us: we never probe a file
// we are writing). Leases need the file's owner or CAP_LEASE and a file system that
// supports them; where the lease is refused for such a reason (EACCES, EPERM, EINVAL on
// some network or overlay file systems) we cannot tell, and the file counts as present.
bool HeldOpenForWriting(int fd) {
#if defined(F_SETLEASE) && defined(F_SETSIG)
    // The kernel makes us the descriptor's owner when the lease is set, and a writer
    // opening the file in the instant before we drop it would signal us. SIGIO would end
    // the process; SIGURG is ignored unless someone asks for it.
    fcntl(fd, F_SETSIG, SIGURG);
    if (fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        fcntl(fd, F_SETLEASE, F_UNLCK);
        return false;
    }
    return errno == EAGAIN;
#else
    (void)fd;
    return false;
#endif
}

double RegularFileSize(int fd) {
    struct stat status {};
    // Only regular files have a size worth reporting: folders, devices, FIFOs and sockets
    // count as missing.
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || HeldOpenForWriting(fd)) {
        return 0;
    }
    const auto size = static_cast<std::uint64_t>(status.st_size);
    return LargeToDouble(static_cast<std::int32_t>(static_cast<std::uint32_t>(size)),
                         static_cast<std::int32_t>(static_cast<std::uint32_t>(size >> 32)));
}

}  // namespace

double ProbeFileSize(const std::string& path) {
    if (!IsPassablePath(path)) {
        return 0;
    }
    // Opening never blocks (O_NONBLOCK), so a FIFO without a writer cannot hang the probe,
    // and errno is restored so that no trace of a failed probe outlives the call.
    const int savedErrno = errno;
    const int fd = OpenForProbe(path);
    double size = 0;
    if (!IsInvalidHandle(fd)) {
        size = RegularFileSize(fd);
        close(fd);
    }
    errno = savedErrno;
    return size;
}

#endif

}  // namespace tamsel
