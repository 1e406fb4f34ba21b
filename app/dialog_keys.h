#pragma once

#include <QObject>

#include "window/form_commands.h"

class QWidget;
class QWindow;

// Keys on their way to a dialog of the form (its message boxes, the open-file dialog, the
// progress dialog) pass the form's commands first (FormCommands::ModalKeyDown and
// ModalKeyUp), so that a dialog answers only keys pressed while it shows: the repeats of
// an Enter held since it pressed Start never close the message box it brought. Installed on
// the application, it takes each key once, where it reaches the dialog's window, before any
// widget of the dialog sees it.
class DialogKeys : public QObject {
  public:
    // `form` and `commands` must outlive the filter; `form` owns it.
    DialogKeys(QWidget* form, tamsel::FormCommands& commands);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Whether `window` shows a dialog that the form owns.
    bool IsFormsDialog(const QWindow* window) const;

    QWidget* form_;
    tamsel::FormCommands& commands_;
};
