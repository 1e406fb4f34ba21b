#pragma once

// The form's commands for a path box measured on its own: the box hands them its keys,
// and nothing it could ask for (a dialog, a message, a folder) shows.

#include <string>
#include <vector>

#include "window/form_commands.h"

namespace tamsel::bench {

class QuietForm : public FormView, public DesktopServices {
  public:
    FormCommands commands{*this, *this};

    std::string BoxText(RunInput) const override { return {}; }
    void SetBoxText(RunInput, const std::string&) override {}
    void FocusBox(RunInput) override {}
    void CloseWindow() override {}
    void SetFolderRows(const std::vector<std::string>&, int) override {}
    int ChosenFolderRow() const override { return 0; }
    void EnableFolderRow(bool) override {}
    void ShowMessage(const std::string&, MessageIcon) override {}
    std::string ShowOpenDialog(const OpenDialogRequest&) override { return {}; }
    void OpenFolder(const std::string&) override {}
    void OpenAddress(const std::string&) override {}
};

}  // namespace tamsel::bench
