#include "app/path_box.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QStringList>
#include <QStringListModel>
#include <QTimer>
#include <QWheelEvent>

#include <optional>
#include <string>

#include "app/completion_popup.h"
#include "app/key_codes.h"
#include "app/one_line_validator.h"
#include "window/path_box_keys.h"
#include "window/path_completion.h"
#include "window/virtual_keys.h"

namespace {

// Suspends drawing of a window for as long as it lives, so that emptying and refilling a
// list costs one repaint; restores the previous state on every way out.
class DrawingSuspension {
  public:
    explicit DrawingSuspension(QWidget* window)
        : window_(window), wasEnabled_(window->updatesEnabled()) {
        window_->setUpdatesEnabled(false);
    }
    ~DrawingSuspension() {
        if (window_ && wasEnabled_) {
            window_->setUpdatesEnabled(true);
        }
    }
    DrawingSuspension(const DrawingSuspension&) = delete;
    DrawingSuspension& operator=(const DrawingSuspension&) = delete;

  private:
    QPointer<QWidget> window_;
    bool wasEnabled_;
};

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

tamsel::EditState PathBox::editState() const {
    const QLineEdit* edit = lineEdit();
    return {edit->text().toStdString(),
            edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition(),
            edit->selectionLength()};
}

void PathBox::apply(const tamsel::EditState& edit) {
    lineEdit()->setText(QString::fromStdString(edit.text));
    if (edit.selLength > 0) {
        // Selected backwards, so that the caret stands at the selection's start.
        lineEdit()->setSelection(edit.selStart + edit.selLength, -edit.selLength);
    } else {
        lineEdit()->setCursorPosition(edit.selStart);
    }
}

void PathBox::selectWholeText() {
    const tamsel::EditState entered = tamsel::txtFile_GotFocus(editState());
    lineEdit()->setCursorPosition(entered.selStart);
    lineEdit()->setSelection(entered.selStart, entered.selLength);
}

void PathBox::complete(int keyCode, int shift) {
    const std::optional<tamsel::Completion> completion =
        tamsel::AutoComplete(editState(), keyCode, shift);
    if (!completion) {
        return;
    }
    {
        DrawingSuspension suspended(window());
        clear();
        QStringList entries;
        entries.reserve(static_cast<qsizetype>(completion->entries.size()));
        for (const std::string& entry : completion->entries) {
            entries.append(QString::fromStdString(entry));
        }
        // One model update for the whole list: an update per entry would make a large folder
        // crawl. A string list model takes it as a single reset, half the cost of the
        // default model's one insertion at 100,000 entries.
        if (auto* list = qobject_cast<QStringListModel*>(model())) {
            list->setStringList(entries);
        } else {
            addItems(entries);
        }
        if (count() > 0) {
            showPopup();
        } else {
            hidePopup();
        }
    }
    apply(completion->edit);
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
    if (returning) {
        return;
    }
    selectWholeText();
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
    const VirtualKey key = ToVirtualKey(*event);
    // Enter presses the window's default button; the box has no use for it.
    if (key.code == tamsel::vk::kEnter) {
        event->ignore();
        return;
    }
    QPointer<PathBox> alive(this);
    switch (tamsel::txtFile_KeyDown(key.code, key.shift, editState())) {
        case tamsel::BoxAction::Browse:
            emit browseRequested(index_);
            break;
        case tamsel::BoxAction::CaretToEnd:
            lineEdit()->setCursorPosition(lineEdit()->text().size());
            break;
        default:
            break;
    }
    if (alive) {
        QComboBox::keyPressEvent(event);
    }
}

void PathBox::keyReleaseEvent(QKeyEvent* event) {
    const VirtualKey key = ToVirtualKey(*event);
    if (key.code == tamsel::vk::kEnter) {
        event->ignore();
        return;
    }
    QComboBox::keyReleaseEvent(event);
    // A held key repeats its press and release; only the real release counts, and only of
    // a key whose press the window saw.
    if (event->isAutoRepeat() || (releaseGate_ && !releaseGate_(KeyIdentity(*event)))) {
        return;
    }
    if (tamsel::txtFile_KeyUp(key.code, key.shift) == tamsel::BoxAction::Complete) {
        complete(key.code, key.shift);
    }
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
                selectWholeText();
            }
        });
    }
    return QComboBox::eventFilter(watched, event);
}
