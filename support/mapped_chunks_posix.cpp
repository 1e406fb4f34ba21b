#include "support/mapped_chunks.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>

namespace tamsel {

namespace {

// One mapped window the bus-error handler answers for. Read by the handler, so lock-free
// atomics only; an empty range while `end` is 0.
struct Guard {
    std::atomic<bool> taken{false};
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> damaged{false};
};
static_assert(std::atomic<std::uintptr_t>::is_always_lock_free);

std::array<Guard, 16> guards;
std::uintptr_t pageSize = 4096;
struct sigaction previousAction {};

// Runs on the thread that touched the page. A fault inside a guarded window has that page
// and the rest of the window replaced by zeros, and the touch is made again; any other
// fault goes where it would have gone without us.
void OnBusError(int signal, siginfo_t* info, void* context) {
    const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Guard& guard : guards) {
        const std::uintptr_t end = guard.end.load();
        if (at >= guard.begin.load() && at < end) {
            const std::uintptr_t page = at & ~(pageSize - 1);
            void* zeros = mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                               MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
            if (zeros != MAP_FAILED) {
                guard.damaged.store(true);
                return;
            }
            break;
        }
    }
    if ((previousAction.sa_flags & SA_SIGINFO) != 0) {
        previousAction.sa_sigaction(signal, info, context);
    } else if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN) {
        previousAction.sa_handler(signal);
    } else {
        // The touch is made again and ends the process, as it would have.
        sigaction(SIGBUS, &previousAction, nullptr);
    }
}

bool InstallHandler() {
    static std::once_flag once;
    static bool installed = false;
    std::call_once(once, [] {
        pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        installed = MappedChunks::kWindow % pageSize == 0 &&
                    sigaction(SIGBUS, &action, &previousAction) == 0;
    });
    return installed;
}

int TakeGuard() {
    for (std::size_t i = 0; i < guards.size(); ++i) {
        bool expected = false;
        if (guards[i].taken.compare_exchange_strong(expected, true)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

MappedChunks::MappedChunks(const native::File& file) : file_(file) {
    size_ = native::CurrentSize(file);
    if (size_ == 0 || !InstallHandler()) {
        return;
    }
    // With many lists mapped at once there is no guard left, and this one is read the
    // ordinary way, as is one that cannot be mapped.
    guard_ = TakeGuard();
    if (guard_ >= 0 && !Map(0)) {
        guards[guard_].taken.store(false);
        guard_ = -1;
    }
}

MappedChunks::~MappedChunks() {
    Unmap();
    if (guard_ >= 0) {
        guards[guard_].taken.store(false);
    }
}

std::optional<std::string_view> MappedChunks::Next() {
    if (failed_ || window_ == nullptr) {
        return std::nullopt;
    }
    if (handedOut_) {
        const std::uint64_t next = offset_ + length_;
        failed_ = guards[guard_].damaged.load() || (next < size_ && !Map(next));
        if (failed_) {
            return std::nullopt;
        }
        if (next >= size_) {
            return std::string_view();
        }
    }
    handedOut_ = true;
    return std::string_view(window_, length_);
}

// The window's pages are mapped at once (it is read whole), not a fault at a time.
bool MappedChunks::Map(std::uint64_t offset) {
    Unmap();
    const std::size_t length =
        static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, size_ - offset));
    void* mapped = mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file_.Get(),
                        static_cast<off_t>(offset));
    if (mapped == MAP_FAILED) {
        return false;
    }
    window_ = static_cast<const char*>(mapped);
    length_ = length;
    offset_ = offset;
    handedOut_ = false;
    Guard& guard = guards[guard_];
    guard.damaged.store(false);
    guard.begin.store(reinterpret_cast<std::uintptr_t>(mapped));
    guard.end.store(reinterpret_cast<std::uintptr_t>(mapped) +
                    ((length + pageSize - 1) & ~(pageSize - 1)));
    return true;
}

void MappedChunks::Unmap() {
    if (window_ == nullptr) {
        return;
    }
    Guard& guard = guards[guard_];
    guard.end.store(0);
    guard.begin.store(0);
    munmap(const_cast<char*>(window_), length_);
    window_ = nullptr;
}

}  // namespace tamsel
