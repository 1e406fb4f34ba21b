#include "window/run_controller.h"

#include <algorithm>
#include <utility>

namespace tamsel {

RunController::RunController(RunView& view, WindowThread& thread) : view_(view), thread_(thread) {}

RunController::~RunController() {
    if (worker_.joinable()) {
        progress_.cancel = true;
        worker_.join();
    }
}

void RunController::Start(const RunPaths& paths, Work work, Done done) {
    if (Running()) {
        return;
    }
    progress_.read = 0;
    progress_.total = 0;
    progress_.waiting = false;
    progress_.cancel = false;
    done_ = std::move(done);
    dialogShown_ = false;
    const unsigned run = ++run_;
    view_.SetBusy(true);
    std::weak_ptr<RunController*> alive = alive_;
    worker_ = std::thread([this, paths, work = std::move(work), alive] {
        outcome_ = work(paths, progress_);
        thread_.Post([alive] {
            if (const std::shared_ptr<RunController*> self = alive.lock()) {
                (*self)->Finished();
            }
        });
    });
    TickAfter(kProgressDelay, run);
}

void RunController::TickAfter(std::chrono::milliseconds delay, unsigned run) {
    thread_.StartTimer(delay, [this, run, alive = std::weak_ptr<RunController*>(alive_)] {
        if (alive.lock()) {
            Tick(run);
        }
    });
}

RunProgress RunController::Progress() const {
    RunProgress shown;
    shown.waiting = progress_.waiting;
    if (shown.waiting) {
        shown.text = kWaitingText;
        return shown;
    }
    shown.text = kReadingListText;
    const std::uint64_t total = progress_.total;
    const std::uint64_t read = std::min<std::uint64_t>(progress_.read, total);
    shown.percent = total == 0 ? 0 : static_cast<int>(read * 100 / total);
    return shown;
}

void RunController::Tick(unsigned run) {
    if (run != run_ || !Running()) {
        return;
    }
    view_.ShowProgress(Progress());
    dialogShown_ = true;
    TickAfter(kProgressRefresh, run);
}

void RunController::Finished() {
    if (!worker_.joinable()) {
        return;
    }
    worker_.join();
    ++run_;
    if (dialogShown_) {
        view_.CloseProgress();
    }
    view_.SetBusy(false);
    const Done done = std::exchange(done_, {});
    done(outcome_);
}

}  // namespace tamsel
