#pragma once

// The progress of a long run on a terminal: one line on standard error, rewritten in place
// with a carriage return, and wiped before the outcome is printed. Nothing shows for a run
// that ends within a second.

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>

#include "convert/run_observer.h"

namespace tamsel {

class TerminalProgress final : public RunObserver {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Writes to `err` only when `shown` (a terminal); the run starts now by `clock`.
    TerminalProgress(std::ostream& err, bool shown, Clock clock = std::chrono::steady_clock::now);

    void ListRead(std::uint64_t bytesRead, std::uint64_t totalBytes) override;
    void WaitingForLock(bool waiting) override;
    // Never stops the run; only a moment to bring a waiting line up after the delay.
    bool CancelRequested() override;
    void Clear();  // wipes the line, if one was written

  private:
    void Show(std::string line);

    std::ostream& err_;
    bool shown_;
    Clock clock_;
    std::chrono::steady_clock::time_point start_;
    std::string line_;     // what the run is doing now
    std::string written_;  // what stands on the terminal
};

}  // namespace tamsel
