#pragma once

// The desktop services with the system's own message box, open-file dialog and shell.

#include <windows.h>

#include <string>
#include <string_view>

#include "window/desktop_services.h"

namespace tamsel::win32 {

// The folder as the shell is handed it: without trailing separators, as the shell's quotes
// around a path with a blank make a closing separator escape the quote ("C:\sp ace\"
// arrives as C:\sp ace"). A drive's root ("C:\", "\\?\C:\") and a lone separator keep one
// separator, else they would name the drive's current folder or nothing. Empty stays empty.
std::string ShellFolderTarget(std::string_view folder);

class Win32Desktop final : public DesktopServices {
  public:
    // The window that owns the message boxes and dialogs; none until the window exists.
    void SetOwner(HWND owner) { owner_ = owner; }

    void ShowMessage(const std::string& text, MessageIcon icon) override;
    std::string ShowOpenDialog(const OpenDialogRequest& request) override;
    void OpenFolder(const std::string& folder) override;
    // A file URL opens its file with the program the system has for it, or, with none, the
    // file's folder with the file selected.
    void OpenAddress(const std::string& address) override;

  private:
    HWND owner_ = nullptr;
};

}  // namespace tamsel::win32
