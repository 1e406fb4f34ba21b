#pragma once

// A path box as a native combo box whose drop-down is a completion list of its own, with
// the controller the window hands the box's focus, keys and clicks.

#include <windows.h>

#include "win32/completion_list.h"
#include "window/edit_state.h"
#include "window/form_commands.h"
#include "window/path_box_controller.h"

namespace tamsel::win32 {

// An edit field's text, caret and selection; the caret ends at the state's SelStart.
EditState ReadEdit(HWND edit);
void ApplyEdit(HWND edit, const EditState& state);

class ComboBoxView final : public PathBoxView {
  public:
    // `form` owns the list; `commands` hear of a row clicked in it. Both outlive the view.
    ComboBoxView(HWND form, HWND combo, RunInput input, FormCommands& commands);
    ComboBoxView(const ComboBoxView&) = delete;
    ComboBoxView& operator=(const ComboBoxView&) = delete;

    PathBoxController& Controller() { return controller_; }
    HWND Combo() const { return combo_; }
    HWND Field() const { return field_; }
    CompletionList& List() { return list_; }
    const CompletionList& List() const { return list_; }

    EditState Edit() const override { return ReadEdit(field_); }
    void ApplyEdit(const EditState& edit) override { win32::ApplyEdit(field_, edit); }
    void SetEntries(const CompletionEntries& entries) override { list_.SetEntries(entries); }
    void ShowList() override { list_.Open(kVisibleListRows); }
    void CloseList() override { list_.Close(); }
    bool ListOpen() const override { return list_.IsOpen(); }
    int ListRow() const override { return list_.CurrentRow(); }
    int VisibleRows() const override { return kVisibleListRows; }
    void ChooseRow(int row) override;

  private:
    static constexpr int kVisibleListRows = 12;  // before the open list scrolls

    HWND combo_;
    HWND field_;
    PathBoxController controller_;
    CompletionList list_;
};

}  // namespace tamsel::win32
