#pragma once

// The Qt side of a run off the window's thread: work and timers through the window's event
// loop, the controls locked while the run goes, a QProgressDialog over the window. When the
// dialog shows, what it says and what Cancel does are window/run_controller.h's to decide.

#include <QMetaObject>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

#include "window/run_view.h"

class QtRunView final : public tamsel::RunView, public tamsel::WindowThread {
  public:
    // Work and timers run in `window`'s thread and stop with it; it owns the dialog. Must
    // outlive the run controller it serves.
    explicit QtRunView(QWidget* window) : window_(window) {}

    // The controls locked while a run goes, and what the dialog's Cancel calls.
    void setControls(std::vector<QWidget*> controls) { controls_ = std::move(controls); }
    void setCancel(std::function<void()> cancel) { cancel_ = std::move(cancel); }

    void SetBusy(bool busy) override;
    void ShowProgress(const tamsel::RunProgress& progress) override;
    void CloseProgress() override;

    void Post(std::function<void()> work) override {
        QMetaObject::invokeMethod(window_, std::move(work), Qt::QueuedConnection);
    }
    void StartTimer(std::chrono::milliseconds delay, std::function<void()> work) override {
        QTimer::singleShot(delay, window_, std::move(work));
    }

  private:
    QWidget* window_;
    std::vector<QWidget*> controls_;
    std::function<void()> cancel_;
    QPointer<QProgressDialog> dialog_;
    QPointer<QWidget> focus_;  // the focused control when the run began
    bool busy_ = false;
    bool stopping_ = false;  // the open dialog was cancelled
};
