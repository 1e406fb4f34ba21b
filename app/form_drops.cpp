#include "app/form_drops.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include <vector>

#include "app/path_box.h"

namespace {

// Copying or linking leaves the dragged file where it is; a move would let the file
// manager delete it once the window took the drop.
bool OfferNoMove(QDropEvent& event) {
    for (const Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event.possibleActions() & action) {
            event.setDropAction(action);
            event.accept();
            return true;
        }
    }
    return false;
}

std::vector<tamsel::DroppedItem> ItemsOf(const QMimeData* data) {
    std::vector<tamsel::DroppedItem> items;
    if (!data || !data->hasUrls()) {
        return items;
    }
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) {
            items.push_back({});
            continue;
        }
        const QString path = url.toLocalFile();
        items.push_back({path.toStdString(), QFileInfo(path).isDir()});
    }
    return items;
}

}  // namespace

FormDrops::FormDrops(QWidget* form, tamsel::FormCommands& commands)
    : QObject(form), form_(form), commands_(commands) {
    for (PathBox* box : form->findChildren<PathBox*>()) {
        box->setAcceptDrops(false);
        box->lineEdit()->setAcceptDrops(false);
    }
    form->setAcceptDrops(true);
    form->installEventFilter(this);
}

std::optional<tamsel::RunInput> FormDrops::boxUnder(const QDropEvent& event) const {
    for (QWidget* at = form_->childAt(event.position().toPoint()); at && at != form_;
         at = at->parentWidget()) {
        if (const auto* box = qobject_cast<const PathBox*>(at)) {
            return box->input();
        }
    }
    return std::nullopt;
}

bool FormDrops::eventFilter(QObject* watched, QEvent* event) {
    if (watched != form_) {
        return false;
    }
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            const auto items = ItemsOf(drag->mimeData());
            if (!tamsel::DecideDrop(items, boxUnder(*drag)).box || !OfferNoMove(*drag)) {
                drag->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const auto items = ItemsOf(drop->mimeData());
            if (!(drop->possibleActions() & (Qt::CopyAction | Qt::LinkAction)) ||
                !commands_.FilesDropped(items, boxUnder(*drop)) || !OfferNoMove(*drop)) {
                drop->ignore();
            }
            return true;
        }
        default:
            return false;
    }
}
