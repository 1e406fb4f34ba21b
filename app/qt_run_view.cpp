#include "app/qt_run_view.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

void QtRunView::SetBusy(bool busy) {
    if (busy == busy_) {
        return;
    }
    busy_ = busy;
    if (busy) {
        focus_ = window_->focusWidget();
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
    for (QWidget* control : controls_) {
        control->setEnabled(!busy);
    }
    // A disabled control loses the focus; it comes back as after a message box, without
    // selecting the box's text anew.
    if (!busy && focus_ && window_->isActiveWindow()) {
        focus_->setFocus(Qt::ActiveWindowFocusReason);
    }
}

void QtRunView::ShowProgress(const tamsel::RunProgress& progress) {
    if (!dialog_) {
        dialog_ = new QProgressDialog(window_);
        dialog_->setWindowTitle(window_->windowTitle());
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(0);  // the controller waited already
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        QObject::connect(dialog_, &QProgressDialog::canceled, window_, [this] {
            if (cancel_) {
                cancel_();
            }
        });
    } else if (dialog_->wasCanceled()) {
        return;  // stopping: the run ends at its next safe point
    }
    dialog_->setLabelText(
        QString::fromUtf8(progress.text.data(), static_cast<qsizetype>(progress.text.size())));
    // No amount while waiting: the bar moves to say that the run is alive.
    dialog_->setRange(0, progress.waiting ? 0 : 100);
    dialog_->setValue(progress.waiting ? 0 : progress.percent);
    dialog_->show();
}

void QtRunView::CloseProgress() {
    if (dialog_) {
        dialog_->deleteLater();
        dialog_->hide();
        dialog_ = nullptr;
    }
}

void QtRunView::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(window_, std::move(work), Qt::QueuedConnection);
}

void QtRunView::StartTimer(std::chrono::milliseconds delay, std::function<void()> work) {
    QTimer::singleShot(delay, window_, std::move(work));
}
