#pragma once

#include <QObject>

#include "window/form_commands.h"

class QDropEvent;
class QWidget;

// Files dragged onto the window from a file manager: the form takes every drop (the path
// boxes' edit fields would insert a dragged file's address as text), names the path box
// under the pointer, and leaves the decision to the form's commands. A refused drag is
// ignored while it moves, so that the cursor shows the refusal.
class FormDrops : public QObject {
    Q_OBJECT

  public:
    // Installs itself on `form`, which must hold its path boxes already; `commands` must
    // outlive it.
    FormDrops(QWidget* form, tamsel::FormCommands& commands);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The path box at `event`'s position, if any.
    std::optional<tamsel::RunInput> boxUnder(const QDropEvent& event) const;

    QWidget* form_;
    tamsel::FormCommands& commands_;
};
