#include "convert/menu_lock.h"

#include <algorithm>
#include <thread>

#include "support/path.h"

namespace tamsel {

MenuSite LocateMenu(const std::string& menuPath, FileSystem& files) {
    const std::string real = files.LinkTarget(menuPath);
    MenuSite site;
    site.folder = NativeFolderOf(real);
    site.name = real.substr(site.folder.size());
    site.held = files.HoldFolder(site.folder);
    return site;
}

std::string MenuLockPath(const std::string& menuFile) {
    return menuFile + ".lock";
}

LockAttempt LockMenuFile(MenuSite& site, std::chrono::milliseconds wait, RunObserver* observer) {
    // Short enough that a waiting run starts soon after the other one ends, long enough that
    // waiting costs nothing.
    constexpr std::chrono::milliseconds kRetryPause{20};
    if (!site.held) {
        return {};
    }
    RunObserver quiet;
    RunObserver& told = observer != nullptr ? *observer : quiet;
    const std::string lockName = MenuLockPath(site.name);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    bool waiting = false;
    for (;;) {
        LockAttempt attempt = site.held->TryLock(lockName, site.name);
        const auto now = std::chrono::steady_clock::now();
        if (attempt.state != LockState::Busy || now >= deadline || told.CancelRequested()) {
            if (waiting) {
                told.WaitingForLock(false);
            }
            return attempt;
        }
        if (!waiting) {
            waiting = true;
            told.WaitingForLock(true);
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kRetryPause, deadline - now));
    }
}

}  // namespace tamsel
