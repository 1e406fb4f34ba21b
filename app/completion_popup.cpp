#include "app/completion_popup.h"

#include <algorithm>
#include <optional>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>

#include "app/key_codes.h"
#include "window/path_box_keys.h"
#include "window/path_completion.h"

CompletionPopup::CompletionPopup(QComboBox* box) : box_(box) {
    // A popup receives every key and mouse event while it is open, which is what lets it
    // close on a click elsewhere; it hands the keys on instead of taking the focus.
    setParent(box, Qt::Popup);
    setFocusPolicy(Qt::NoFocus);
    setFocusProxy(box);
    setModel(box->model());
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The entry names differ at their ends; the folder in front of them is the same.
    setTextElideMode(Qt::ElideLeft);
    setMouseTracking(true);
    connect(this, &QAbstractItemView::clicked, this, &CompletionPopup::choose);
}

void CompletionPopup::open() {
    const int rows = model()->rowCount();
    if (rows == 0) {
        hide();
        return;
    }
    // A popup is a window of its own and inherits no font; it shows the box's entries in
    // the box's font, in the list's own colours.
    if (font() != box_->font()) {
        setFont(box_->font());
    }
    const int visibleRows = std::clamp(box_->maxVisibleItems(), 1, rows);
    const int height = visibleRows * sizeHintForRow(0) + 2 * frameWidth();
    QPoint topLeft = box_->mapToGlobal(QPoint(0, box_->height()));
    if (const QScreen* screen = box_->screen()) {
        const QRect available = screen->availableGeometry();
        const QPoint above = box_->mapToGlobal(QPoint(0, -height));
        if (topLeft.y() + height > available.bottom() && above.y() >= available.top()) {
            topLeft = above;
        }
    }
    setGeometry(QRect(topLeft, QSize(box_->width(), height)));
    setCurrentIndex(QModelIndex());
    scrollToTop();
    if (!isVisible()) {
        show();
        // Opening a popup sends the box a focus-out that hides its caret; the box still
        // holds the focus, so the caret is given back.
        QFocusEvent focusBack(QEvent::FocusIn, Qt::PopupFocusReason);
        QCoreApplication::sendEvent(box_, &focusBack);
    }
}

bool CompletionPopup::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Claiming Esc keeps a window or application shortcut on Esc from firing while
            // the list is open; every other key is the box's to claim.
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                event->accept();
                return true;
            }
            return QCoreApplication::sendEvent(box_, event);
        case QEvent::KeyPress:
            return keyPress(static_cast<QKeyEvent*>(event));
        case QEvent::KeyRelease:
        case QEvent::InputMethod:
            QCoreApplication::sendEvent(box_, event);
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (pressOutside(static_cast<QMouseEvent*>(event))) {
                return true;
            }
            break;
        default:
            break;
    }
    return QListView::event(event);
}

bool CompletionPopup::keyPress(QKeyEvent* event) {
    const VirtualKey key = ToVirtualKey(*event);
    switch (tamsel::CompletionListKey(key.code, key.shift)) {
        case tamsel::ListKeyAction::Close:
            // Enter only takes the entry in the box as it stands; it must not reach the
            // window, where it would press the start button.
            hide();
            event->accept();
            return true;
        case tamsel::ListKeyAction::Walk:
            walk(key.code);
            event->accept();
            return true;
        case tamsel::ListKeyAction::CloseAndForward:
            hide();
            break;
        case tamsel::ListKeyAction::Forward:
            break;
    }
    QCoreApplication::sendEvent(box_, event);
    if (isVisible() && !box_->hasFocus()) {
        hide();
    }
    return true;
}

void CompletionPopup::walk(int keyCode) {
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    const std::optional<int> row =
        tamsel::WalkRow(keyCode, current, model()->rowCount(), box_->maxVisibleItems());
    if (!row) {
        return;
    }
    const QModelIndex index = model()->index(*row, modelColumn());
    setCurrentIndex(index);
    scrollTo(index);
    box_->setCurrentIndex(*row);
    box_->setEditText(box_->itemText(*row));
}

void CompletionPopup::choose(const QModelIndex& index) {
    if (!index.isValid()) {
        return;
    }
    box_->setCurrentIndex(index.row());
    box_->setEditText(box_->itemText(index.row()));
    hide();
}

bool CompletionPopup::pressOutside(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint())) {
        return false;
    }
    // A click on the box's own arrow only closes the list; replayed, it would open it again.
    const QPoint onBox = box_->mapFromGlobal(event->globalPosition().toPoint());
    const bool onArrow = box_->rect().contains(onBox) && box_->lineEdit() &&
                         !box_->lineEdit()->geometry().contains(onBox);
    setAttribute(Qt::WA_NoMouseReplay, onArrow);
    hide();
    event->accept();
    return true;
}
