#include "app/completion_list.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>

#include <algorithm>

void CompletionModel::setEntries(const tamsel::CompletionEntries& entries) {
    beginResetModel();
    entries_ = entries;
    folderPart_ = QString::fromStdString(entries_.folderPart);
    endResetModel();
}

int CompletionModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
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
    const std::string& name = entries_.names[row];
    return folderPart_ + QString::fromUtf8(name);
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
    // A window of its own inherits no font: the box's, in the list's own colours.
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
