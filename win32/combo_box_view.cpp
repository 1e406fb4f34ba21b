#include "win32/combo_box_view.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "win32/wide_text.h"

namespace tamsel::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TamselCompletionList";

void RegisterPopupClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW popupClass{};
    popupClass.cbSize = sizeof popupClass;
    popupClass.style = CS_SAVEBITS;
    popupClass.lpfnWndProc = procedure;
    popupClass.hInstance = instance;
    popupClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    popupClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    popupClass.lpszClassName = kClassName;
    RegisterClassExW(&popupClass);  // fails harmlessly for the second box
}

// The height the combo box gives its own list's rows in its font.
int ItemHeight(HWND box) {
    return std::max(1, static_cast<int>(SendMessageW(box, CB_GETITEMHEIGHT, 0, 0)));
}

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
    : combo_(combo), field_(FieldOf(combo)), commands_(commands), controller_(*this, input) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(form, GWLP_HINSTANCE));
    RegisterPopupClass(instance, PopupProc);
    popup_ = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kClassName, nullptr,
                             WS_POPUP | WS_BORDER | WS_CLIPCHILDREN, 0, 0, 0, 0, form, nullptr,
                             instance, this);
    // No texts, only a count: LBS_NODATA asks the owner to draw every row it shows.
    rows_ = CreateWindowExW(
        0, L"LISTBOX", nullptr,
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NODATA | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT,
        0, 0, 0, 0, popup_, nullptr, instance, nullptr);
    SetWindowSubclass(rows_, RowsProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

ComboBoxView::~ComboBoxView() {
    if (popup_) {
        SetWindowLongPtrW(popup_, GWLP_USERDATA, 0);
        DestroyWindow(popup_);
    }
}

void ComboBoxView::SetEntries(const CompletionEntries& entries) {
    entries_ = entries;
    folderPart_ = Widen(entries.folderPart);
    // Each change to a shown list box redraws its scroll bar at once, which costs the
    // display server a round trip: what stays as it was is not set again.
    if (SendMessageW(rows_, LB_GETCOUNT, 0, 0) != static_cast<LRESULT>(entries_.size())) {
        SendMessageW(rows_, LB_SETCOUNT, entries_.size(), 0);
    }
    ScrollToTop();
    if (ListOpen() && !entries_.empty()) {
        Place();
    }
    InvalidateRect(rows_, nullptr, FALSE);
}

void ComboBoxView::ShowList() {
    if (entries_.empty()) {
        CloseList();
        return;
    }
    ScrollToTop();
    Place();
    if (!ListOpen()) {
        SetWindowPos(popup_, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

void ComboBoxView::ChooseRow(int row) {
    // As a combo box's own list does: the entry goes into the field, selected whole.
    SetListRow(row);
    win32::ApplyEdit(field_, WholeTextSelected(entries_[static_cast<std::size_t>(row)]));
}

void ComboBoxView::ScrollToTop() {
    if (ListRow() != -1) {
        SetListRow(-1);
    }
    if (SendMessageW(rows_, LB_GETTOPINDEX, 0, 0) != 0) {
        SendMessageW(rows_, LB_SETTOPINDEX, 0, 0);
    }
}

int ComboBoxView::RowsShown() const {
    RECT client;
    GetClientRect(rows_, &client);
    return client.bottom / ItemHeight(combo_);
}

// As the box's own list would drop: as wide as the box, below it, or above it where the
// screen ends first. A list that keeps its place is not moved: moving a shown window costs
// the display server a round trip, more than the rest of a refill.
void ComboBoxView::Place() {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(combo_, WM_GETFONT, 0, 0));
    if (font != font_) {
        font_ = font;
        SendMessageW(rows_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    const int itemHeight = ItemHeight(combo_);
    if (SendMessageW(rows_, LB_GETITEMHEIGHT, 0, 0) != itemHeight) {
        SendMessageW(rows_, LB_SETITEMHEIGHT, 0, itemHeight);
    }
    const int shown = static_cast<int>(std::min<std::size_t>(entries_.size(), kVisibleListRows));
    RECT box;
    GetWindowRect(combo_, &box);
    RECT frame{0, 0, box.right - box.left, shown * itemHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(popup_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(popup_, GWL_EXSTYLE)));
    const int height = frame.bottom - frame.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(combo_, MONITOR_DEFAULTTONEAREST), &monitor);
    const bool roomBelow = box.bottom + height <= monitor.rcWork.bottom;
    const int top =
        roomBelow || box.top - height < monitor.rcWork.top ? box.bottom : box.top - height;
    const RECT place{box.left, top, box.right, top + height};
    RECT now;
    GetWindowRect(popup_, &now);
    if (!EqualRect(&now, &place)) {
        SetWindowPos(popup_, nullptr, place.left, place.top, place.right - place.left, height,
                     SWP_NOACTIVATE | SWP_NOZORDER);
    }
    RECT client;
    RECT rows;
    GetClientRect(popup_, &client);
    GetClientRect(rows_, &rows);
    if (!EqualRect(&client, &rows)) {
        MoveWindow(rows_, 0, 0, client.right, client.bottom, FALSE);
    }
}

int ComboBoxView::RowAt(LPARAM point) const {
    // Not LB_ITEMFROMPOINT: its answer holds a row number of 16 bits only.
    const int y = static_cast<short>(HIWORD(point));
    RECT client;
    GetClientRect(rows_, &client);
    if (y < 0 || y >= client.bottom) {
        return -1;
    }
    const auto top = static_cast<int>(SendMessageW(rows_, LB_GETTOPINDEX, 0, 0));
    const int row = top + y / ItemHeight(combo_);
    return row < static_cast<int>(entries_.size()) ? row : -1;
}

void ComboBoxView::Draw(const DRAWITEMSTRUCT& item) const {
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= entries_.size()) {
        return;
    }
    const bool current = (item.itemState & ODS_SELECTED) != 0;
    const HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, GetSysColorBrush(current ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(current ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ oldFont = SelectObject(dc, font_);
    // A row's text is made only now, for the rows on the screen.
    const std::wstring text = item.itemID < entries_.labels.size()
                                  ? Widen(entries_.labels[item.itemID])
                                  : folderPart_ + Widen(entries_.names[item.itemID]);
    RECT place = item.rcItem;
    place.left += 2;
    // Every entry shares the folder part: a long one gives way to the names, which differ;
    // a label (a store's browser and profile, then its path) keeps its start and end too.
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &place,
              DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_PATH_ELLIPSIS);
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK ComboBoxView::PopupProc(HWND popup, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
        SetWindowLongPtrW(popup, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ComboBoxView*>(GetWindowLongPtrW(popup, GWLP_USERDATA));
    switch (message) {
        case WM_NCDESTROY:
            // Its owner's end takes the popup with it, before the view's own end.
            if (self) {
                self->popup_ = nullptr;
                self->rows_ = nullptr;
            }
            break;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_MEASUREITEM:
            if (self) {
                reinterpret_cast<MEASUREITEMSTRUCT*>(l)->itemHeight =
                    static_cast<UINT>(ItemHeight(self->combo_));
            }
            return TRUE;
        case WM_DRAWITEM:
            if (self) {
                self->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
            }
            return TRUE;
    }
    return DefWindowProcW(popup, message, w, l);
}

LRESULT CALLBACK ComboBoxView::RowsProc(HWND rows, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                        DWORD_PTR data) {
    auto* self = reinterpret_cast<ComboBoxView*>(data);
    switch (message) {
        // The list box's own press would take the focus from the edit field: a row is
        // chosen by its press and release here instead.
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            self->pressedRow_ = self->RowAt(l);
            if (self->pressedRow_ >= 0) {
                self->SetListRow(self->pressedRow_);
            }
            return 0;
        case WM_LBUTTONUP: {
            const int row = self->RowAt(l);
            if (row >= 0 && row == std::exchange(self->pressedRow_, -1)) {
                self->commands_.RowClicked(self->controller_, row);
            }
            return 0;
        }
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_NCDESTROY:
            RemoveWindowSubclass(rows, RowsProc, id);
            break;
    }
    return DefSubclassProc(rows, message, w, l);
}

}  // namespace tamsel::win32
