#pragma once

// The desktop services the window uses: message boxes, the open-file dialog and handing a
// folder or an address to the desktop's default program. The window reaches them only
// through this interface, so that tests can record the calls instead of blocking on a
// modal dialog.

#include <QString>
#include <QStringList>

#include "convert/conversion_run.h"

class QWidget;

class Desktop {
  public:
    virtual ~Desktop() = default;

    // Shows `text` in a modal message box with an OK button, `icon` and the caption
    // "Tamsel", centred on `owner`; returns when the user closes it.
    virtual void showMessage(QWidget* owner, const QString& text, tamsel::MessageIcon icon) = 0;

    // Shows the modal open-file dialog titled `title`, listing files that exist and match
    // one of `nameFilters` (toolkit form "Description (patterns)", the first selected).
    // The dialog opens in the folder `initialPath` names; when it names a file, that file
    // is preselected. Returns the chosen file's full path, or an empty string when the
    // user cancelled or the dialog failed.
    virtual QString getOpenFileName(QWidget* owner, const QString& title,
                                    const QString& initialPath, const QStringList& nameFilters) = 0;

    // Opens a folder in the file manager. Never waits for it and reports nothing: an
    // empty or missing folder simply opens nothing.
    virtual void openPath(const QString& folder) = 0;

    // Opens an address (a web address or a file URL) with the desktop's default program.
    // Never waits and reports nothing.
    virtual void openUrl(const QString& address) = 0;
};
