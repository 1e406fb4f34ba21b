#pragma once

// The window's thread as a service: work handed to it from any thread, and a single-shot
// timer. Each window implements it with its toolkit's event loop; tests run the work when
// they choose.

#include <chrono>
#include <functional>

namespace tamsel {

class WindowThread {
  public:
    virtual ~WindowThread() = default;

    // Runs `work` on the window's thread, after the events already waiting there. May be
    // called from any thread. Work posted to a window that is gone is dropped.
    virtual void Post(std::function<void()> work) = 0;

    // Runs `work` once on the window's thread after `delay`. Called on the window's thread.
    virtual void StartTimer(std::chrono::milliseconds delay, std::function<void()> work) = 0;
};

}  // namespace tamsel
