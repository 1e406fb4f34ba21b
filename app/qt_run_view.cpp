#include "app/qt_run_view.h"

#include <QGuiApplication>

void QtRunView::SetBusy(bool busy) {
    if (busy == busy_) {
        return;
    }
    busy_ = busy;
    if (busy) {
        // Taken first: a focused control that is disabled hands the focus on to the next,
        // which would be entered and left again as each control is disabled in turn.
        focus_ = window_->focusWidget();
        if (focus_) {
            focus_->clearFocus();
        }
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
    for (QWidget* control : controls_) {
        control->setEnabled(!busy);
    }
    // Back where it was; a window that is not active gives it when it is again.
    if (!busy && focus_) {
        focus_->setFocus(Qt::OtherFocusReason);
    }
}

void QtRunView::ShowProgress(const tamsel::RunProgress& progress) {
    if (!dialog_) {
        dialog_ = new QProgressDialog(window_);
        dialog_->setWindowTitle(window_->windowTitle());
        // Not modal: the locked controls take no input meanwhile, and the window must still
        // hear its close button, which a modal dialog would keep from it.
        dialog_->setWindowModality(Qt::NonModal);
        dialog_->setMinimumDuration(0);  // the controller waited already
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        // Its Cancel button cancels, and so does Esc, which only rejects the dialog.
        stopping_ = false;
        const auto cancel = [this] {
            if (!std::exchange(stopping_, true) && cancel_) {
                cancel_();
            }
        };
        QObject::connect(dialog_, &QProgressDialog::canceled, window_, cancel);
        QObject::connect(dialog_, &QDialog::rejected, window_, cancel);
    } else if (stopping_) {
        return;  // the run ends at its next safe point
    }
    dialog_->setLabelText(QString::fromUtf8(progress.text));
    // No amount while waiting: the bar moves to say that the run is alive.
    dialog_->setRange(0, progress.waiting ? 0 : 100);
    dialog_->setValue(progress.waiting ? 0 : progress.percent);
    if (!dialog_->isVisible()) {
        dialog_->show();
        // Without a window manager nothing else would give it the keys (its Esc).
        if (window_->isActiveWindow()) {
            dialog_->activateWindow();
        }
    }
}

void QtRunView::CloseProgress() {
    if (dialog_) {
        const bool active = dialog_->isActiveWindow();
        dialog_->deleteLater();
        dialog_->hide();
        dialog_ = nullptr;
        if (active) {
            window_->activateWindow();
        }
    }
}
