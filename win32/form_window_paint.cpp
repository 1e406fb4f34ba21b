// How the main window looks: the header band and picture, the labels' and boxes' colours
// and the start button's white face.

#include "win32/form_window.h"

namespace tamsel::win32 {

namespace {

COLORREF ToColorRef(Rgb colour) {
    return RGB(Red(colour), Green(colour), Blue(colour));
}

}  // namespace

void FormWindow::CreateBrushes() {
    const ControlRow& band = *FindControl("Shape1");
    bandBrush_ = CreateSolidBrush(ToColorRef(band.face.value_or(0xFFFFFF)));
    startFace_ = CreateSolidBrush(ToColorRef(FindControl("btnStart")->face.value_or(0xFFFFFF)));
}

void FormWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    const ControlRow& band = *FindControl("Shape1");
    const RECT area = Scaled(band.twips);
    HPEN line = CreatePen(PS_SOLID, 1, ToColorRef(band.line.value_or(0)));
    HGDIOBJ oldPen = SelectObject(dc, line);
    HGDIOBJ oldBrush = SelectObject(dc, bandBrush_);
    Rectangle(dc, area.left, area.top, area.right, area.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(line);
    if (picture_) {
        BITMAP size;
        GetObjectW(picture_, sizeof size, &size);
        const RECT place = Scaled(FindControl("Image1")->twips);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, picture_);
        SetStretchBltMode(dc, HALFTONE);
        // Its own size at 96 dpi, grown with the resolution like everything else.
        StretchBlt(dc, place.left, place.top, MulDiv(size.bmWidth, dpi_, 96),
                   MulDiv(size.bmHeight, dpi_, 96), source, 0, 0, size.bmWidth, size.bmHeight,
                   SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    }
    EndPaint(window_, &paint);
}

LRESULT FormWindow::StaticColours(HDC dc, HWND control) const {
    const int index = RowOf(control);
    if (index < 0) {
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    const ControlRow& row = FormControls()[static_cast<std::size_t>(index)];
    if (row.kind == ControlKind::FolderList) {
        return 0;
    }
    SetTextColor(dc, row.text ? ToColorRef(*row.text) : GetSysColor(COLOR_BTNTEXT));
    SetBkMode(dc, TRANSPARENT);
    const ControlRow& band = *FindControl("Shape1");
    const bool onBand = row.twips.top < band.twips.top + band.twips.height;
    return reinterpret_cast<LRESULT>(onBand ? bandBrush_ : GetSysColorBrush(COLOR_BTNFACE));
}

void FormWindow::DrawStartButton(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &face, startFace_);
    // A flat white face with a thin edge, darker while pressed.
    FrameRect(dc, &face, GetSysColorBrush(pressed ? COLOR_BTNTEXT : COLOR_BTNSHADOW));
    RECT text = item.rcItem;
    if (pressed) {
        OffsetRect(&text, 1, 1);
    }
    wchar_t caption[64] = {};
    GetWindowTextW(item.hwndItem, caption, 64);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, old);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&face, -4, -4);
        DrawFocusRect(dc, &face);
    }
}

LRESULT FormWindow::EditColours(HDC dc, HWND edit) const {
    for (const PathBoxRow& box : PathBoxes()) {
        if (edit == BoxEdit(box.input)) {
            SetTextColor(dc, ToColorRef(FindControl(box.box)->text.value_or(0)));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
    }
    return 0;
}

}  // namespace tamsel::win32
