#pragma once

// A path box as a native combo box whose drop-down is a completion list of its own: a popup
// below the box that never activates, so that the focus and every key stay in the box's
// edit field. Its list box knows only how many rows there are; a row's text is made as it
// is drawn, so 100,000 entries cost no more to set than ten. The window hands the box's
// focus, keys and clicks to its controller.

#include <windows.h>

#include <string>

#include "window/edit_state.h"
#include "window/form_commands.h"
#include "window/path_box_controller.h"
#include "window/path_completion.h"

namespace tamsel::win32 {

// An edit field's text, caret and selection; the caret ends at the state's SelStart.
EditState ReadEdit(HWND edit);
void ApplyEdit(HWND edit, const EditState& state);

class ComboBoxView final : public PathBoxView {
  public:
    // `form` owns the list; `commands` hear of a row clicked in it. Both outlive the view.
    ComboBoxView(HWND form, HWND combo, RunInput input, FormCommands& commands);
    ~ComboBoxView() override;
    ComboBoxView(const ComboBoxView&) = delete;
    ComboBoxView& operator=(const ComboBoxView&) = delete;

    PathBoxController& Controller() { return controller_; }
    HWND Combo() const { return combo_; }
    HWND Field() const { return field_; }
    HWND Rows() const { return rows_; }  // the list's list box
    const CompletionEntries& Entries() const { return entries_; }
    int RowsShown() const;  // by the open list at once
    // The wheel turned over the box.
    void Wheel(WPARAM w, LPARAM l) { SendMessageW(rows_, WM_MOUSEWHEEL, w, l); }

    EditState Edit() const override { return ReadEdit(field_); }
    void ApplyEdit(const EditState& edit) override { win32::ApplyEdit(field_, edit); }
    // An open list stays open, scrolled to its top with no current row, at its new height.
    void SetEntries(const CompletionEntries& entries) override;
    void ShowList() override;
    void CloseList() override { ShowWindow(popup_, SW_HIDE); }
    bool ListOpen() const override { return IsWindowVisible(popup_) != FALSE; }
    int ListRow() const override {
        return static_cast<int>(SendMessageW(rows_, LB_GETCURSEL, 0, 0));
    }
    int VisibleRows() const override { return kVisibleListRows; }
    void ChooseRow(int row) override;

  private:
    static constexpr int kVisibleListRows = 12;  // before the open list scrolls

    static LRESULT CALLBACK PopupProc(HWND popup, UINT message, WPARAM w, LPARAM l);
    static LRESULT CALLBACK RowsProc(HWND rows, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                     DWORD_PTR self);
    void SetListRow(int row) { SendMessageW(rows_, LB_SETCURSEL, static_cast<WPARAM>(row), 0); }
    void Draw(const DRAWITEMSTRUCT& item) const;
    void Place();
    void ScrollToTop();
    int RowAt(LPARAM point) const;

    HWND combo_;
    HWND field_;
    FormCommands& commands_;
    PathBoxController controller_;
    HWND popup_ = nullptr;
    HWND rows_ = nullptr;
    CompletionEntries entries_;
    std::wstring folderPart_;  // the entries' folder part, converted once
    HFONT font_ = nullptr;     // the box's, taken as the list opens
    int pressedRow_ = -1;
};

}  // namespace tamsel::win32
