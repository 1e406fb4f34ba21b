#pragma once

#include "window/desktop_services.h"

class QWidget;

// The running program's desktop services on Qt's message box, file dialog and
// QDesktopServices. Boxes and dialogs are owned by (and centred on) the owner, active again
// when one closes; a message's long lines are broken to fit two thirds of the screen.
class QtDesktop : public tamsel::DesktopServices {
  public:
    void setOwner(QWidget* owner) { owner_ = owner; }

    void ShowMessage(const std::string& text, tamsel::MessageIcon icon) override;
    std::string ShowOpenDialog(const tamsel::OpenDialogRequest& request) override;
    void OpenFolder(const std::string& folder) override;
    void OpenAddress(const std::string& address) override;

  private:
    QWidget* owner_ = nullptr;
};
