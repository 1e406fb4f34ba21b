#pragma once

// The desktop services the form's commands use, each window's with its toolkit.

#include <string>

#include "convert/conversion_run.h"
#include "window/open_dialog.h"

namespace tamsel {

class DesktopServices {
  public:
    virtual ~DesktopServices() = default;

    // A modal message box owned by the window: `text`, OK, `icon`, the application title as
    // caption; returns when closed.
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;

    // The modal open-file dialog, for existing files. Returns its file buffer: the path,
    // maybe followed by a NUL and padding; empty when cancelled or failed.
    virtual std::string ShowOpenDialog(const OpenDialogRequest& request) = 0;

    // A folder in the file manager, an address (web or file URL) in the desktop's default
    // program. Neither waits nor reports: an empty or missing folder opens nothing.
    virtual void OpenFolder(const std::string& folder) = 0;
    virtual void OpenAddress(const std::string& address) = 0;
};

}  // namespace tamsel
