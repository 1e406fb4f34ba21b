#pragma once

// The desktop services with the system's own message box, open-file dialog and shell.

#include <windows.h>

#include "window/desktop_services.h"

namespace tamsel::win32 {

class Win32Desktop final : public DesktopServices {
  public:
    // The window that owns the message boxes and dialogs; none until the window exists.
    void SetOwner(HWND owner) { owner_ = owner; }

    void ShowMessage(const std::string& text, MessageIcon icon) override;
    std::string ShowOpenDialog(const OpenDialogRequest& request) override;
    void OpenFolder(const std::string& folder) override;
    void OpenAddress(const std::string& address) override;

  private:
    HWND owner_ = nullptr;
};

}  // namespace tamsel::win32
