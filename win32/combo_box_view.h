#pragma once

// A path box as a native combo box: the view its controller draws through, and the
// controller itself, which the window hands the box's focus, keys and clicks.

#include <windows.h>

#include "window/path_box_controller.h"

namespace tamsel::win32 {

class ComboBoxView final : public PathBoxView {
  public:
    // `form` is the window the box sits in, whose drawing a refill suspends.
    ComboBoxView(HWND form, HWND combo, RunInput input);
    ComboBoxView(const ComboBoxView&) = delete;
    ComboBoxView& operator=(const ComboBoxView&) = delete;

    PathBoxController& Controller() { return controller_; }
    HWND Combo() const { return combo_; }
    HWND Field() const { return field_; }

    EditState Edit() const override;
    void ApplyEdit(const EditState& edit) override;
    void SetEntries(const CompletionEntries& entries) override;
    void ShowList() override;
    void CloseList() override;
    bool ListOpen() const override;
    int ListRow() const override;
    int VisibleRows() const override;
    void ChooseRow(int row) override;

  private:
    HWND form_;
    HWND combo_;
    HWND field_;
    HWND list_;
    PathBoxController controller_;
};

}  // namespace tamsel::win32
