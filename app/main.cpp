#include <QApplication>

#include "app/form_main.h"
#include "app/qt_desktop.h"
#include "app/window_slot.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamsel"));
    QApplication::setApplicationVersion(QStringLiteral("1.01"));
    QtDesktop desktop;
    const WindowSlot slot;
    FormMain window(desktop);
    window.cascade(slot.index());
    desktop.setOwner(&window);
    window.show();
    // A window manager activates a new window itself; without one the keys would go
    // wherever the pointer is.
    window.activateWindow();
    return app.exec();
}
