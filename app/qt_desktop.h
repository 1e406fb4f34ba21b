#pragma once

#include "window/desktop_services.h"

class QWidget;

// The desktop services of the running program, built on Qt's message box, file dialog
// and desktop services. Message boxes and dialogs are owned by (and centred on) the owner,
// which is active again when one closes. A message's long lines are broken to fit about
// two thirds of the screen (WrapMessage).
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
