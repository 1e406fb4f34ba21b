// How the main window looks: its fonts, the header band and picture, the labels' and
// boxes' colours and the start button's white face.

#include <wincodec.h>
#include <wrl/client.h>

#include <cwchar>
#include <string>

#include "win32/form_window.h"

namespace tamsel::win32 {

namespace {

using Microsoft::WRL::ComPtr;

// From this size on a smoothed bold is heavy enough (the header's title).
constexpr double kSmoothedBoldPoints = 12;

COLORREF ToColorRef(Rgb colour) {
    return RGB(Red(colour), Green(colour), Blue(colour));
}

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(const std::wstring& face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// Looked up once: the fonts are recreated whenever the resolution changes. Tahoma is on
// every Windows; elsewhere (wine) the faces close to its widths come first, and the
// system's user-interface face is the last resort.
const std::wstring& WindowFace() {
    static const std::wstring face = [] {
        for (const char* candidate : FontFallbacks()) {
            const std::wstring wanted = Widen(candidate);
            if (FaceInstalled(wanted)) {
                return wanted;
            }
        }
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        return std::wstring(metrics.lfMessageFont.lfFaceName);
    }();
    return face;
}

// The header picture, a JPEG or PNG file among the resources, as a 32-bit bitmap; nullptr
// when the program carries none or it cannot be decoded. COM is initialised already.
HBITMAP LoadHeaderPicture(HINSTANCE instance) {
    HRSRC found = FindResourceW(instance, L"HEADER", MAKEINTRESOURCEW(10));
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICBitmapSource> source;
    UINT width = 0;
    UINT height = 0;
    if (!data ||
        FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, &factory)) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)),
                                            SizeofResource(instance, found))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnLoad,
                                                &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame.Get(), &source)) ||
        FAILED(source->GetSize(&width, &height))) {
        return nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const UINT stride = width * 4;
    if (bitmap &&
        FAILED(source->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

}  // namespace

HFONT FormWindow::CreateLayoutFont(const FontStyle& style) const {
    const double points = style.points > 0 ? style.points : kWindowFont.points;
    const std::wstring face = style.face && style.face != std::string_view(kWindowFont.face)
                                  ? Widen(style.face)
                                  : WindowFace();
    // Hundredths of a point keep 8.25 pt exact.
    const int height = -MulDiv(static_cast<int>(points * 100 + 0.5), dpi_, 7200);
    // A stand-in face's table of sizes may smooth its small bold while its regular is drawn
    // bi-level, and the smoothed stems look regular ("Start >" did): drawn bi-level, the
    // bold shows.
    const bool standIn = face != Widen(kWindowFont.face);
    const DWORD quality = standIn && style.bold && points < kSmoothedBoldPoints
                              ? NONANTIALIASED_QUALITY
                              : DEFAULT_QUALITY;
    return CreateFontW(height, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, FALSE,
                       style.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

void FormWindow::CreatePaintObjects(HINSTANCE instance) {
    const ControlRow& band = *FindControl("Shape1");
    bandBrush_ = CreateSolidBrush(ToColorRef(band.face.value_or(0xFFFFFF)));
    startFace_ = CreateSolidBrush(ToColorRef(FindControl("btnStart")->face.value_or(0xFFFFFF)));
    picture_ = LoadHeaderPicture(instance);
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
