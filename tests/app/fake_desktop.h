#pragma once

// A desktop that records every call instead of showing anything, with the widget that held
// the focus at the time, so that tests can check what the window asked for and in which
// order.

#include <QApplication>
#include <QString>
#include <QWidget>

#include <string>
#include <vector>

#include "window/desktop_services.h"

struct DesktopCall {
    QString what;  // "message", "dialog", "openPath" or "openUrl"
    QString text;  // the message, the dialog's title, the folder or the address
    tamsel::MessageIcon icon = tamsel::MessageIcon::Information;
    QString initialPath;
    std::vector<tamsel::FileFilter> filters;
    QString focus;  // objectName of the focused widget's path box or widget, if any
};

class FakeDesktop : public tamsel::DesktopServices {
  public:
    std::vector<DesktopCall> calls;
    std::string dialogAnswer;  // what the open-file dialog returns; empty means cancelled

    void ShowMessage(const std::string& text, tamsel::MessageIcon icon) override {
        record("message", text).icon = icon;
    }
    std::string ShowOpenDialog(const tamsel::OpenDialogRequest& request) override {
        DesktopCall& call = record("dialog", request.title);
        call.initialPath = QString::fromStdString(request.initialFolder);
        call.filters = request.filters;
        return dialogAnswer;
    }
    void OpenFolder(const std::string& folder) override { record("openPath", folder); }
    void OpenAddress(const std::string& address) override { record("openUrl", address); }

  private:
    DesktopCall& record(const char* what, const std::string& text) {
        DesktopCall call;
        call.what = QString::fromLatin1(what);
        call.text = QString::fromStdString(text);
        // The focus may sit in a path box's inner edit field; name the window's control.
        QWidget* widget = QApplication::focusWidget();
        while (widget && widget->parentWidget() && !widget->parentWidget()->isWindow()) {
            widget = widget->parentWidget();
        }
        call.focus = widget ? widget->objectName() : QString();
        calls.push_back(std::move(call));
        return calls.back();
    }
};
