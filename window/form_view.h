#pragma once

// What the form's commands need of a window: the text of a path box, the Folder row's
// list, the keyboard focus, and closing. Everything else a window shows is its own
// business.

#include <string>

#include "window/folder_row.h"
#include "window/path_boxes.h"

namespace tamsel {

class FormView : public FolderRowView {
  public:
    virtual ~FormView() = default;

    // The text of the box's edit field, UTF-8.
    virtual std::string BoxText(RunInput box) const = 0;
    // Replaces the whole text of the box's edit field; its list is left alone.
    virtual void SetBoxText(RunInput box, const std::string& text) = 0;
    // Puts the keyboard focus into the box.
    virtual void FocusBox(RunInput box) = 0;
    // Closes the window, as its close button does when no run goes.
    virtual void CloseWindow() = 0;
};

}  // namespace tamsel
