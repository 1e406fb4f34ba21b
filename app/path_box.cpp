#include "app/path_box.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QValidator>
#include <QWheelEvent>

#include <utility>

#include "app/completion_list.h"
#include "app/key_codes.h"
#include "window/virtual_keys.h"

namespace {

// Keeps the edit field to one line, whichever way text comes in (typing, pasting, dropping,
// code): a path copied from a terminal with its line break pastes as the path alone.
class OneLineValidator : public QValidator {
  public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override {
        const tamsel::EditState typed{input.toStdString(), position, 0};
        const tamsel::EditState line = tamsel::WithoutLineBreaks(typed);
        // Most texts hold no break; only a changed one is written back.
        if (line.text.size() != typed.text.size()) {
            input = QString::fromStdString(line.text);
            position = line.selStart;
        }
        return Acceptable;
    }
};

tamsel::FocusReason ReasonOf(Qt::FocusReason reason) {
    switch (reason) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
            return tamsel::FocusReason::Keyboard;
        case Qt::MouseFocusReason:
            return tamsel::FocusReason::Mouse;
        case Qt::ActiveWindowFocusReason:
            return tamsel::FocusReason::Window;
        case Qt::PopupFocusReason:
            return tamsel::FocusReason::Popup;
        default:
            return tamsel::FocusReason::Other;
    }
}

}  // namespace

PathBox::PathBox(tamsel::RunInput input, tamsel::FormCommands& form, QWidget* parent)
    : QComboBox(parent), form_(form), controller_(*this, input) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    entries_ = new CompletionModel(this);
    setModel(entries_);
    lineEdit()->installEventFilter(this);
    lineEdit()->setValidator(new OneLineValidator(this));
    popup_ = new CompletionPopup(this, model());
    connect(popup_, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { form_.RowClicked(controller_, index.row()); });
}

void PathBox::showPopup() {
    if (!ListOpen()) {
        controller_.ArrowPressed();
    }
}

void PathBox::hidePopup() {
    CloseList();
}

QListView* PathBox::completionList() const {
    return popup_;
}

tamsel::EditState PathBox::Edit() const {
    const QLineEdit* edit = lineEdit();
    return {edit->text().toStdString(),
            edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition(),
            edit->selectionLength()};
}

void PathBox::ApplyEdit(const tamsel::EditState& edit) {
    const QString text = QString::fromStdString(edit.text);
    if (lineEdit()->text() != text) {
        lineEdit()->setText(text);
    }
    if (edit.selLength == 0) {
        lineEdit()->setCursorPosition(edit.selStart);
    } else if (edit.selStart == 0 && edit.selLength == text.size()) {
        // A whole text is selected as Qt's select-all does it, the caret at its end.
        lineEdit()->selectAll();
    } else {
        // Selected backwards, so that the caret stands at the selection's start.
        lineEdit()->setSelection(edit.selStart + edit.selLength, -edit.selLength);
    }
}

void PathBox::SetEntries(const tamsel::CompletionEntries& entries) {
    // Paths share their start, so a long one gives way at its left; a label (a store's
    // browser and profile, then its path) keeps its start and gives way in its middle.
    popup_->setTextElideMode(entries.labels.empty() ? Qt::ElideLeft : Qt::ElideMiddle);
    entries_->setEntries(entries);
}

void PathBox::ShowList() {
    popup_->open(maxVisibleItems());
}

void PathBox::CloseList() {
    popup_->hide();
}

bool PathBox::ListOpen() const {
    return popup_->isVisible();
}

int PathBox::ListRow() const {
    const QModelIndex current = popup_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

int PathBox::VisibleRows() const {
    return maxVisibleItems();
}

void PathBox::ChooseRow(int row) {
    const QModelIndex index = model()->index(row, modelColumn());
    popup_->setCurrentIndex(index);
    popup_->scrollTo(index);
    setCurrentIndex(row);
    setEditText(itemText(row));
}

bool PathBox::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // An open list's keys come before any shortcut of the window or the application.
        const tamsel::KeyEvent key = ToKeyEvent(*static_cast<QKeyEvent*>(event));
        if (controller_.ClaimsKey(key.code, key.shift)) {
            event->accept();
            return true;
        }
    }
    return QComboBox::event(event);
}

void PathBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    controller_.FocusIn(ReasonOf(event->reason()));
}

void PathBox::focusOutEvent(QFocusEvent* event) {
    form_.BoxFocusOut(controller_, ReasonOf(event->reason()));
    QComboBox::focusOutEvent(event);
}

void PathBox::keyPressEvent(QKeyEvent* event) {
    const tamsel::KeyEvent key = ToKeyEvent(*event);
    if (form_.KeyDown(key, &controller_)) {
        event->accept();
        return;
    }
    // The combo box has no use for Enter; it is left to the window.
    if (key.code == tamsel::vk::kEnter) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void PathBox::keyReleaseEvent(QKeyEvent* event) {
    const tamsel::KeyEvent key = ToKeyEvent(*event);
    if (key.code == tamsel::vk::kEnter) {
        event->ignore();
    } else {
        QComboBox::keyReleaseEvent(event);
    }
    form_.KeyUp(key, &controller_);
}

void PathBox::mousePressEvent(QMouseEvent* event) {
    // The combo box's own handling would open Qt's list, which takes the keyboard focus.
    if (event->button() == Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        controller_.ArrowPressed();
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
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease) {
        // After the edit field has handled the release itself.
        QTimer::singleShot(0, this, [this] {
            if (hasFocus()) {
                controller_.ClickEnded();
            }
        });
    }
    return QComboBox::eventFilter(watched, event);
}
