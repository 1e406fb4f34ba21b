#include "convert/menu_lock.h"

#include <algorithm>
#include <thread>

namespace tamsel {

namespace {

// Short enough that a waiting run starts soon after the other one ends, long enough that
// waiting costs nothing.
constexpr std::chrono::milliseconds kRetryPause{20};

}  // namespace

std::string MenuLockPath(const std::string& menuFile) {
    return menuFile + ".lock";
}

LockAttempt LockMenuFile(MenuSite& site, std::chrono::milliseconds wait) {
    if (!site.held) {
        return {};
    }
    const std::string lockName = MenuLockPath(site.name);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        LockAttempt attempt = site.held->TryLock(lockName, site.name);
        const auto now = std::chrono::steady_clock::now();
        if (attempt.state != LockState::Busy || now >= deadline) {
            return attempt;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kRetryPause, deadline - now));
    }
}

}  // namespace tamsel
