#include "app/path_box.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QStringListModel>
#include <QTimer>
#include <QWheelEvent>

#include "app/auto_complete.h"
#include "app/completion_popup.h"
#include "app/key_codes.h"
#include "app/one_line_validator.h"

namespace {

bool IsEnter(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

quint32 KeyIdentity(const QKeyEvent& event) {
    return event.nativeScanCode() != 0 ? event.nativeScanCode()
                                       : static_cast<quint32>(event.key()) | 0x80000000U;
}

}  // namespace

PathBox::PathBox(int index, QWidget* parent) : QComboBox(parent), index_(index) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setModel(new QStringListModel(this));
    lineEdit()->installEventFilter(this);
    lineEdit()->setValidator(new OneLineValidator(this));
    popup_ = new CompletionPopup(this);
}

void PathBox::showPopup() {
    popup_->open();
}

void PathBox::hidePopup() {
    popup_->hide();
}

QListView* PathBox::completionList() const {
    return popup_;
}

void PathBox::txtFile_GotFocus() {
    lineEdit()->setCursorPosition(0);
    lineEdit()->setSelection(0, lineEdit()->text().size());
}

void PathBox::txtFile_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode == vk::kF2) {
        emit browseRequested(index_);
        return;
    }
    // The separator then lands behind the selected completion instead of replacing it. A
    // selection the user made, the whole text selected on entering the box among them, is
    // replaced as by any other character.
    const QLineEdit* edit = lineEdit();
    if (keyCode == vk::kBackslash &&
        IsCompletionTail(edit->selectionStart(), edit->selectionLength(), edit->text().size())) {
        lineEdit()->setCursorPosition(edit->text().size());
    }
}

void PathBox::txtFile_KeyUp(int keyCode, int shift) {
    AutoComplete(*this, keyCode, shift);
}

void PathBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    // Focus coming back from the box's own list, or to the window the box held the focus
    // in when the user left it, is no entering of the box: the caret and selection stay.
    // The window's first activation does enter the box that it gave the focus to.
    const Qt::FocusReason reason = event->reason();
    const bool returning = reason == Qt::PopupFocusReason ||
                           (reason == Qt::ActiveWindowFocusReason && leftWithWindow_);
    leftWithWindow_ = false;
    if (reason != Qt::PopupFocusReason) {
        pressedKeys_.clear();
    }
    if (returning) {
        return;
    }
    txtFile_GotFocus();
    // The press that gave the focus places the caret afterwards; select again once the
    // click is over.
    selectAfterClick_ = reason == Qt::MouseFocusReason;
}

void PathBox::focusOutEvent(QFocusEvent* event) {
    leftWithWindow_ = event->reason() == Qt::ActiveWindowFocusReason;
    if (event->reason() != Qt::PopupFocusReason) {
        selectAfterClick_ = false;
        hidePopup();
    }
    QComboBox::focusOutEvent(event);
}

void PathBox::keyPressEvent(QKeyEvent* event) {
    // Enter presses the window's default button; the box has no use for it.
    if (IsEnter(*event)) {
        event->ignore();
        return;
    }
    if (!event->isAutoRepeat()) {
        pressedKeys_.insert(KeyIdentity(*event));
    }
    const VirtualKey key = ToVirtualKey(*event);
    QPointer<PathBox> alive(this);
    txtFile_KeyDown(key.code, key.shift);
    if (alive) {
        QComboBox::keyPressEvent(event);
    }
}

void PathBox::keyReleaseEvent(QKeyEvent* event) {
    if (IsEnter(*event)) {
        event->ignore();
        return;
    }
    QComboBox::keyReleaseEvent(event);
    // A held key repeats its press and release; only the real release counts, and only of
    // a key pressed here.
    if (event->isAutoRepeat() || !pressedKeys_.remove(KeyIdentity(*event))) {
        return;
    }
    const VirtualKey key = ToVirtualKey(*event);
    txtFile_KeyUp(key.code, key.shift);
}

void PathBox::mousePressEvent(QMouseEvent* event) {
    // The combo box's own handling would open Qt's list, which takes the keyboard focus.
    if (event->button() == Qt::LeftButton) {
        if (popup_->isVisible()) {
            hidePopup();
        } else {
            setFocus(Qt::MouseFocusReason);
            // This press was not in the edit field, so no release there will come to
            // select the text again; a later click must place the caret as usual.
            selectAfterClick_ = false;
            showPopup();
        }
        event->accept();
        return;
    }
    QComboBox::mousePressEvent(event);
}

void PathBox::wheelEvent(QWheelEvent* event) {
    // The combo box would step through its list and replace the text with an entry.
    event->ignore();
}

bool PathBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease && selectAfterClick_) {
        selectAfterClick_ = false;
        // Deferred until the edit field has handled the release itself.
        QTimer::singleShot(0, this, [this] {
            if (hasFocus()) {
                txtFile_GotFocus();
            }
        });
    }
    return QComboBox::eventFilter(watched, event);
}
