#pragma once

// What the form's commands need of a window: boxes, Folder row, focus and closing.

#include <string>

#include "window/folder_row.h"
#include "window/path_boxes.h"

namespace tamsel {

class FormView : public FolderRowView {
  public:
    virtual ~FormView() = default;

    // The box's whole text, UTF-8; setting it leaves its list alone.
    virtual std::string BoxText(RunInput box) const = 0;
    virtual void SetBoxText(RunInput box, const std::string& text) = 0;
    virtual void FocusBox(RunInput box) = 0;
    // Closes the window, as its close button does when no run goes.
    virtual void CloseWindow() = 0;
};

}  // namespace tamsel
