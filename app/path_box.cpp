#include "app/path_box.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QValidator>

#include <algorithm>

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
    } else if (key.code == tamsel::vk::kEnter) {
        event->ignore();  // the combo box has no use for Enter; it is left to the window
    } else {
        QComboBox::keyPressEvent(event);
    }
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
    } else {
        QComboBox::mousePressEvent(event);
    }
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

void CompletionModel::setEntries(const tamsel::CompletionEntries& entries) {
    beginResetModel();
    entries_ = entries;
    folderPart_ = QString::fromStdString(entries_.folderPart);
    endResetModel();
}

QVariant CompletionModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::DisplayRole && row < entries_.labels.size()) {
        return QString::fromStdString(entries_.labels[row]);
    }
    return folderPart_ + QString::fromUtf8(entries_.names[row]);
}

CompletionPopup::CompletionPopup(QWidget* anchor, QAbstractItemModel* model) : anchor_(anchor) {
    // A tool tip window is never activated by showing it or by a click (on X it bypasses
    // the window manager), so the box keeps the focus without any event sent on its behalf.
    setParent(anchor, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setModel(model);
    setUniformItemSizes(true);  // then a view asks the model only for the rows it shows
    // Laying out all of 100,000 rows costs about 15 ms on each refill and each change of
    // height: the first thousand are laid out before painting, the rest in later turns.
    setLayoutMode(QListView::Batched);
    setBatchSize(1000);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
}

void CompletionPopup::open(int maxRows) {
    const int rows = model()->rowCount();
    if (rows == 0) {
        hide();
        return;
    }
    // A window of its own inherits no font: the box's, in the list's own colours.
    if (font() != anchor_->font()) {
        setFont(anchor_->font());
    }
    const int height = std::clamp(maxRows, 1, rows) * sizeHintForRow(0) + 2 * frameWidth();
    QPoint topLeft = anchor_->mapToGlobal(QPoint(0, anchor_->height()));
    if (const QScreen* screen = anchor_->screen()) {
        const QRect available = screen->availableGeometry();
        const QPoint above = anchor_->mapToGlobal(QPoint(0, -height));
        if (topLeft.y() + height > available.bottom() && above.y() >= available.top()) {
            topLeft = above;
        }
    }
    setGeometry(QRect(topLeft, QSize(anchor_->width(), height)));
    setCurrentIndex(QModelIndex());
    scrollToTop();
    show();
}

void CompletionPopup::showEvent(QShowEvent* event) {
    // Without a popup's grab, presses elsewhere are seen through the application.
    qApp->installEventFilter(this);
    QListView::showEvent(event);
}

void CompletionPopup::hideEvent(QHideEvent* event) {
    qApp->removeEventFilter(this);
    QListView::hideEvent(event);
}

bool CompletionPopup::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
            if (watched->isWidgetType() && watched != anchor_ &&
                !isAncestorOf(static_cast<QWidget*>(watched))) {
                hide();
            }
            break;
        case QEvent::Move:
        case QEvent::Hide:
        case QEvent::WindowDeactivate:
            if (watched == anchor_->window()) {
                hide();
            }
            break;
        default:
            break;
    }
    return false;
}
