#include "win32/combo_box_view.h"

#include "win32/wide_text.h"

namespace tamsel::win32 {

namespace {

HWND FieldOf(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo, &info);
    return info.hwndItem;
}

}  // namespace

EditState ReadEdit(HWND edit) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {WindowText(edit), static_cast<int>(start), static_cast<int>(end - start)};
}

void ApplyEdit(HWND edit, const EditState& state) {
    SetWindowTextUtf8(edit, state.text);
    // The anchor at the selection's far end leaves the caret at its start.
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(state.selStart + state.selLength),
                 static_cast<LPARAM>(state.selStart));
}

ComboBoxView::ComboBoxView(HWND form, HWND combo, RunInput input, FormCommands& commands)
    : combo_(combo),
      field_(FieldOf(combo)),
      controller_(*this, input),
      list_(form, combo, [this, &commands](int row) { commands.RowClicked(controller_, row); }) {}

void ComboBoxView::ChooseRow(int row) {
    // As a combo box's own list does: the entry goes into the field, selected whole.
    list_.SetCurrentRow(row);
    win32::ApplyEdit(field_, WholeTextSelected(list_.Entries()[static_cast<std::size_t>(row)]));
}

}  // namespace tamsel::win32
