#include "app/dialog_keys.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

#include "app/key_codes.h"

DialogKeys::DialogKeys(QWidget* form, tamsel::FormCommands& commands)
    : QObject(form), form_(form), commands_(commands) {
    qApp->installEventFilter(this);
}

bool DialogKeys::IsFormsDialog(const QWindow* window) const {
    for (const QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() != window) {
            continue;
        }
        if (!qobject_cast<const QDialog*>(top)) {
            return false;
        }
        for (const QWidget* owner = top->parentWidget(); owner; owner = owner->parentWidget()) {
            if (owner == form_) {
                return true;
            }
        }
        return false;
    }
    return false;
}

bool DialogKeys::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) {
        return false;
    }
    // A key comes to a window once, and from there to its widgets, each of which the
    // application's filters see again.
    const auto* window = qobject_cast<const QWindow*>(watched);
    if (!window || !IsFormsDialog(window)) {
        return false;
    }
    const tamsel::KeyEvent key = ToKeyEvent(*static_cast<const QKeyEvent*>(event));
    const bool answered =
        type == QEvent::KeyPress ? commands_.ModalKeyDown(key) : commands_.ModalKeyUp(key);
    return !answered;
}
