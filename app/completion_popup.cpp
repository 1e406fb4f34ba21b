#include "app/completion_popup.h"

#include <algorithm>

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>

CompletionPopup::CompletionPopup(QWidget* anchor, QAbstractItemModel* model) : anchor_(anchor) {
    // A tool tip window is never activated by showing it or by a click (on X it bypasses
    // the window manager), so the box keeps the focus without any event sent on its behalf.
    setParent(anchor, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setModel(model);
    setUniformItemSizes(true);
    // Laying out every row at once costs about 15 ms for 100,000 entries, on each refill
    // and each change of the list's height: the first thousand rows are laid out before
    // the list is painted, the others in the turns of the event loop that follow.
    setLayoutMode(QListView::Batched);
    setBatchSize(1000);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The entry names differ at their ends; the folder in front of them is the same.
    setTextElideMode(Qt::ElideLeft);
    setMouseTracking(true);
}

void CompletionPopup::open(int maxRows) {
    const int rows = model()->rowCount();
    if (rows == 0) {
        hide();
        return;
    }
    // A window of its own inherits no font; it shows the entries in the box's font, in
    // the list's own colours.
    if (font() != anchor_->font()) {
        setFont(anchor_->font());
    }
    const int visibleRows = std::clamp(maxRows, 1, rows);
    const int height = visibleRows * sizeHintForRow(0) + 2 * frameWidth();
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

void CompletionPopup::setCurrentRow(int row) {
    const QModelIndex index = model()->index(row, modelColumn());
    setCurrentIndex(index);
    scrollTo(index);
}

void CompletionPopup::keyPressEvent(QKeyEvent* event) {
    QCoreApplication::sendEvent(anchor_, event);
}

void CompletionPopup::keyReleaseEvent(QKeyEvent* event) {
    QCoreApplication::sendEvent(anchor_, event);
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

bool CompletionPopup::inside(const QObject* object) const {
    for (; object; object = object->parent()) {
        if (object == this) {
            return true;
        }
    }
    return false;
}

bool CompletionPopup::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
            if (watched->isWidgetType() && watched != anchor_ && !inside(watched)) {
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
