#pragma once

// What a run needs of a window: controls locked, a progress dialog whose Cancel calls
// RunController::Cancel, and the window's thread.

#include <chrono>
#include <functional>
#include <string>

namespace tamsel {

struct RunProgress {
    std::string text;      // what the run is doing
    int percent = 0;       // how far the list is read, 0 to 100
    bool waiting = false;  // waiting for another run: the bar shows no amount
};

class RunView {
  public:
    virtual ~RunView() = default;

    // While busy, the path boxes, the browse buttons and Start are disabled and the cursor
    // over the window is busy; afterwards all are as before.
    virtual void SetBusy(bool busy) = 0;
    // Opens the progress dialog over the window, or updates it; the window stays able to
    // close. Opened while the window is active, it takes the keys, so Esc reaches Cancel.
    virtual void ShowProgress(const RunProgress& progress) = 0;
    virtual void CloseProgress() = 0;  // if open
};

// The window's thread, on the toolkit's event loop; tests run the work when they choose.
class WindowThread {
  public:
    virtual ~WindowThread() = default;

    // Runs `work` on the window's thread after the events waiting there; from any thread.
    // Work posted to a window that is gone is dropped.
    virtual void Post(std::function<void()> work) = 0;
    // Runs `work` once on the window's thread after `delay`. Called on the window's thread.
    virtual void StartTimer(std::chrono::milliseconds delay, std::function<void()> work) = 0;
};

}  // namespace tamsel
