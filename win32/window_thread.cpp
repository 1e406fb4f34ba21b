#include "win32/window_thread.h"

#include <utility>

namespace tamsel::win32 {

void Win32WindowThread::Post(std::function<void()> work) {
    {
        const std::lock_guard<std::mutex> hold(mutex_);
        posted_.push_back(std::move(work));
    }
    // A window that is gone takes no message; its work is dropped with this object.
    PostMessageW(window_, kPostedMessage, 0, 0);
}

void Win32WindowThread::StartTimer(std::chrono::milliseconds delay, std::function<void()> work) {
    const UINT_PTR id = nextTimer_++;
    timers_[id] = std::move(work);
    SetTimer(window_, id, static_cast<UINT>(delay.count()), nullptr);
}

bool Win32WindowThread::Handle(UINT message, WPARAM w) {
    if (message == kPostedMessage) {
        std::vector<std::function<void()>> work;
        {
            const std::lock_guard<std::mutex> hold(mutex_);
            work = std::exchange(posted_, {});
        }
        for (const auto& step : work) {
            step();
        }
        return true;
    }
    if (message == WM_TIMER) {
        const auto timer = timers_.find(static_cast<UINT_PTR>(w));
        if (timer == timers_.end()) {
            return false;
        }
        KillTimer(window_, timer->first);
        const std::function<void()> work = std::move(timer->second);
        timers_.erase(timer);
        work();
        return true;
    }
    return false;
}

}  // namespace tamsel::win32
