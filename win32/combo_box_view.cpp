#include "win32/combo_box_view.h"

#include <commctrl.h>

#include <string>

#include "win32/edit_field.h"
#include "win32/wide_text.h"

namespace tamsel::win32 {

namespace {

COMBOBOXINFO InfoOf(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo, &info);
    return info;
}

}  // namespace

ComboBoxView::ComboBoxView(HWND form, HWND combo, RunInput input)
    : form_(form),
      combo_(combo),
      field_(InfoOf(combo).hwndItem),
      list_(InfoOf(combo).hwndList),
      controller_(*this, input) {}

EditState ComboBoxView::Edit() const {
    return ReadEdit(field_);
}

void ComboBoxView::ApplyEdit(const EditState& edit) {
    win32::ApplyEdit(field_, edit);
}

void ComboBoxView::SetEntries(const CompletionEntries& entries) {
    LockWindowUpdate(form_);
    // The open list is a window of its own, which the form's lock does not cover: drawn
    // anew for every added entry, thousands of entries froze the window for a minute.
    // It also takes its height from its entries only as it opens, so it is closed while
    // it is refilled and opened again afterwards.
    SendMessageW(combo_, CB_SHOWDROPDOWN, FALSE, 0);
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
    std::vector<std::wstring> wide;
    wide.reserve(entries.size());
    std::size_t characters = 0;
    for (std::size_t row = 0; row < entries.size(); ++row) {
        wide.push_back(Widen(entries[row]));
        characters += wide.back().size() + 1;
    }
    SendMessageW(combo_, CB_INITSTORAGE, wide.size(), characters * sizeof(wchar_t));
    for (const std::wstring& entry : wide) {
        SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    LockWindowUpdate(nullptr);
}

void ComboBoxView::ShowList() {
    if (SendMessageW(combo_, CB_GETCOUNT, 0, 0) > 0) {
        SendMessageW(combo_, CB_SHOWDROPDOWN, TRUE, 0);
    }
}

void ComboBoxView::CloseList() {
    // Closing may put the list's current row into the field; the box keeps what it shows.
    const EditState shown = Edit();
    SendMessageW(combo_, CB_SHOWDROPDOWN, FALSE, 0);
    ApplyEdit(shown);
}

bool ComboBoxView::ListOpen() const {
    return SendMessageW(combo_, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

int ComboBoxView::ListRow() const {
    const auto row = static_cast<int>(SendMessageW(combo_, CB_GETCURSEL, 0, 0));
    return row == CB_ERR ? -1 : row;
}

int ComboBoxView::VisibleRows() const {
    return static_cast<int>(SendMessageW(combo_, CB_GETMINVISIBLE, 0, 0));
}

void ComboBoxView::ChooseRow(int row) {
    // As the combo box's own arrows do: the entry goes into the field, selected whole.
    SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

}  // namespace tamsel::win32
