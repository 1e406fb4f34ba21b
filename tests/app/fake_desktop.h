#pragma once

// A desktop that records every call instead of showing anything, with the widget that held
// the focus at the time, so that tests can check what the window asked for and in which
// order.

#include <QApplication>
#include <QWidget>

#include <vector>

#include "app/desktop.h"

struct DesktopCall {
    QString what;  // "message", "dialog", "openPath" or "openUrl"
    QString text;  // the message, the dialog's title, the folder or the address
    tamsel::MessageIcon icon = tamsel::MessageIcon::Information;
    QString initialPath;
    QStringList nameFilters;
    QString focus;  // objectName of the focused widget's path box or widget, if any
};

class FakeDesktop : public Desktop {
  public:
    std::vector<DesktopCall> calls;
    QString dialogAnswer;  // what the open-file dialog returns; empty means cancelled

    void showMessage(QWidget*, const QString& text, tamsel::MessageIcon icon) override {
        record("message", text, icon);
    }
    QString getOpenFileName(QWidget*, const QString& title, const QString& initialPath,
                            const QStringList& nameFilters) override {
        record("dialog", title, {}, initialPath, nameFilters);
        return dialogAnswer;
    }
    void openPath(const QString& folder) override { record("openPath", folder); }
    void openUrl(const QString& address) override { record("openUrl", address); }

  private:
    void record(const char* what, const QString& text,
                tamsel::MessageIcon icon = tamsel::MessageIcon::Information,
                const QString& initialPath = {}, const QStringList& nameFilters = {}) {
        DesktopCall call;
        call.what = QString::fromLatin1(what);
        call.text = text;
        call.icon = icon;
        call.initialPath = initialPath;
        call.nameFilters = nameFilters;
        // The focus may sit in a path box's inner edit field; name the window's control.
        QWidget* widget = QApplication::focusWidget();
        while (widget && widget->parentWidget() && !widget->parentWidget()->isWindow()) {
            widget = widget->parentWidget();
        }
        call.focus = widget ? widget->objectName() : QString();
        calls.push_back(std::move(call));
    }
};
