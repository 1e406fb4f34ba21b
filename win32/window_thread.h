#pragma once

// The window's thread for the form's run (window/run_view.h): posted work waits in a queue
// and a message to the window wakes it; timers are the window's.

#include <windows.h>

#include <map>
#include <mutex>
#include <vector>

#include "window/run_view.h"

namespace tamsel::win32 {

class Win32WindowThread final : public WindowThread {
  public:
    // The window whose loop runs the work; set before any run starts.
    void Attach(HWND window) { window_ = window; }

    void Post(std::function<void()> work) override;
    void StartTimer(std::chrono::milliseconds delay, std::function<void()> work) override;

    // Runs the posted work or the timer a message of the window stands for, if it is one.
    bool Handle(UINT message, WPARAM w);

  private:
    static constexpr UINT kPostedMessage = WM_APP + 1;
    HWND window_ = nullptr;
    std::mutex mutex_;
    std::vector<std::function<void()>> posted_;
    std::map<UINT_PTR, std::function<void()>> timers_;
    // Far from the ids that the controls' own timers use.
    UINT_PTR nextTimer_ = 0x7A00;
};

}  // namespace tamsel::win32
