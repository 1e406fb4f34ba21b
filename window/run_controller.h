#pragma once

// A conversion off the window's thread, so that the window keeps answering: controls locked,
// a progress dialog after kProgressDelay whose Cancel stops the run before the menu is
// replaced, the outcome handed back on the window's thread.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "convert/conversion_run.h"
#include "window/run_view.h"

namespace tamsel {

inline constexpr std::chrono::milliseconds kProgressDelay{500};  // a quicker run shows none
inline constexpr std::chrono::milliseconds kProgressRefresh{100};

inline constexpr std::string_view kReadingListText = "Reading the list...";
inline constexpr std::string_view kWaitingText =
    "Waiting for another run to finish with the Links.xml...";

class RunController {
  public:
    using Work = std::function<RunOutcome(const RunPaths&, RunObserver&)>;
    using Done = std::function<void(const RunOutcome&)>;

    RunController(RunView& view, WindowThread& thread);
    // A run still going is cancelled and waited for (it stops at its next safe point, or
    // finishes a replacement already begun); its outcome is dropped.
    ~RunController();
    RunController(const RunController&) = delete;
    RunController& operator=(const RunController&) = delete;

    bool Running() const { return worker_.joinable(); }

    // Locks the view and starts `work` on a thread of its own; `done` gets the outcome on
    // the window's thread once the view is unlocked and the dialog closed. Does nothing
    // while another run goes.
    void Start(const RunPaths& paths, Work work, Done done);

    // The outcome is then "Cancelled", unless the menu was being replaced already.
    void Cancel() { progress_.cancel = true; }

    RunProgress Progress() const;

  private:
    struct Observer final : RunObserver {
        std::atomic<std::uint64_t> read{0};
        std::atomic<std::uint64_t> total{0};
        std::atomic<bool> waiting{false};
        std::atomic<bool> cancel{false};

        void ListRead(std::uint64_t bytesRead, std::uint64_t totalBytes) override {
            total = totalBytes;
            read = bytesRead;
        }
        void WaitingForLock(bool now) override { waiting = now; }
        bool CancelRequested() override { return cancel; }
    };

    void TickAfter(std::chrono::milliseconds delay, unsigned run);
    void Tick(unsigned run);
    void Finished();

    RunView& view_;
    WindowThread& thread_;
    Observer progress_;
    std::thread worker_;
    RunOutcome outcome_;  // written by the worker, read after it is joined
    Done done_;
    unsigned run_ = 0;  // counts runs, so that a timer of an earlier run does nothing
    bool dialogShown_ = false;
    // Work handed to the window's thread holds this weakly and does nothing once it is gone.
    std::shared_ptr<RunController*> alive_ = std::make_shared<RunController*>(this);
};

}  // namespace tamsel
