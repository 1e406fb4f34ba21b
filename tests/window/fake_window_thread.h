#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "window/run_view.h"

namespace tamsel::test {

// The window's loop: posted work queues up from any thread; the test runs it, and the
// timers, on its own thread, which plays the window's.
class FakeWindowThread final : public WindowThread {
  public:
    void Post(std::function<void()> work) override {
        const std::lock_guard<std::mutex> hold(mutex_);
        posted_.push_back(std::move(work));
    }
    void StartTimer(std::chrono::milliseconds, std::function<void()> work) override {
        timers_.push_back(std::move(work));
    }
    // Runs the timers started so far, as if their time had come.
    int FireTimers() {
        std::vector<std::function<void()>> due = std::exchange(timers_, {});
        for (const auto& work : due) {
            work();
        }
        return static_cast<int>(due.size());
    }
    // Runs posted work until `done` holds; false after 10 s.
    template <typename Done>
    bool RunUntil(Done done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done()) {
            std::vector<std::function<void()>> work;
            {
                const std::lock_guard<std::mutex> hold(mutex_);
                work = std::exchange(posted_, {});
            }
            for (const auto& step : work) {
                step();
            }
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::yield();
        }
        return true;
    }

  private:
    std::mutex mutex_;
    std::vector<std::function<void()>> posted_;
    std::vector<std::function<void()>> timers_;
};

}  // namespace tamsel::test
