#pragma once

// The desktop services the form's commands use: message boxes, the open-file dialog, and
// handing a folder or an address to the desktop's default program. Each window implements
// them with its toolkit (owning the dialogs itself); tests record the calls.

#include <string>

#include "convert/conversion_run.h"
#include "window/open_dialog.h"

namespace tamsel {

class DesktopServices {
  public:
    virtual ~DesktopServices() = default;

    // Shows `text` in a modal message box with an OK button, `icon` and the application
    // title as its caption, owned by the window; returns when the user closes it.
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;

    // Shows the modal open-file dialog the request describes, listing only files that
    // exist. Returns the dialog's file buffer: the chosen path, possibly followed by a NUL
    // and padding, or an empty string when the user cancelled or the dialog failed.
    virtual std::string ShowOpenDialog(const OpenDialogRequest& request) = 0;

    // Opens a folder in the file manager. Never waits and reports nothing: an empty or
    // missing folder simply opens nothing.
    virtual void OpenFolder(const std::string& folder) = 0;

    // Opens an address (a web address or a file URL) with the desktop's default program.
    // Never waits and reports nothing.
    virtual void OpenAddress(const std::string& address) = 0;
};

}  // namespace tamsel
