#include "win32/form_window.h"

#include <commctrl.h>

#include <utility>

#include "win32/edit_field.h"
#include "win32/header_picture.h"
#include "win32/wide_text.h"
#include "win32/window_fonts.h"
#include "window/path_box_keys.h"
#include "window/path_completion.h"

namespace tamsel::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TamselFormMain";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kFirstControlId = 1000;
// How many entries the open completion list shows before it scrolls.
constexpr int kVisibleListRows = 12;

COLORREF ToColorRef(Rgb colour) {
    return RGB(Red(colour), Green(colour), Blue(colour));
}

const ControlRow& Row(std::size_t index) {
    return FormControls()[index];
}

std::size_t RowIndex(std::string_view name) {
    const auto rows = FormControls();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (name == rows[i].name) {
            return i;
        }
    }
    return rows.size();
}

struct ControlClass {
    const wchar_t* name;
    DWORD style;
};

ControlClass ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX};
        case ControlKind::ClickLabel:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY};
        case ControlKind::PathBox:
            return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP};
        case ControlKind::BrowseButton:
            return {L"BUTTON", BS_PUSHBUTTON};
        case ControlKind::StartButton:
            // Drawn by the window for its white face; the window makes it the default
            // button itself (DM_GETDEFID and Enter).
            return {L"BUTTON", BS_OWNERDRAW | WS_TABSTOP};
        case ControlKind::Shape:
        case ControlKind::Picture:
            break;
    }
    return {nullptr, 0};
}

const PathBoxRow* BoxNamed(std::string_view name, const char* PathBoxRow::*column) {
    for (const PathBoxRow& box : PathBoxes()) {
        if (name == box.*column) {
            return &box;
        }
    }
    return nullptr;
}

}  // namespace

FormWindow::FormWindow(DesktopServices& desktop, std::string programFolder, std::string homepage,
                       FormCommands::Conversion conversion)
    : commands_(*this, desktop, RealFileSystem(), std::move(conversion)),
      programFolder_(std::move(programFolder)),
      homepage_(std::move(homepage)),
      controls_(FormControls().size(), nullptr),
      fonts_(FormControls().size(), nullptr) {}

FormWindow::~FormWindow() {
    if (window_) {
        DestroyWindow(window_);
    }
    for (HFONT font : fonts_) {
        DeleteObject(font);
    }
    DeleteObject(picture_);
    DeleteObject(bandBrush_);
    DeleteObject(startFace_);
}

bool FormWindow::Create(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // fails harmlessly when a second window registers again

    const std::wstring title = Widen(kApplicationTitle);
    if (!CreateWindowExW(0, kClassName, title.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this)) {
        return false;
    }
    dpi_ = static_cast<int>(GetDpiForWindow(window_));
    const ControlRow& band = *FindControl("Shape1");
    bandBrush_ = CreateSolidBrush(ToColorRef(band.face.value_or(0xFFFFFF)));
    startFace_ = CreateSolidBrush(ToColorRef(FindControl("btnStart")->face.value_or(0xFFFFFF)));
    picture_ = LoadHeaderPicture(instance);
    CreateControls(instance);
    commands_.Form_Load(programFolder_, homepage_);
    CreateCreditTip(instance);
    Layout();
    CentreOnScreen();
    ShowWindow(window_, SW_SHOW);
    FocusBox(RunInput::List);
    return true;
}

void FormWindow::CreateControls(HINSTANCE instance) {
    // Creation order is the Tab order among the controls that are tab stops.
    const auto rows = FormControls();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ControlClass kind = ClassOf(rows[i].kind);
        if (!kind.name) {
            continue;
        }
        const std::wstring caption = Widen(rows[i].caption);
        controls_[i] = CreateWindowExW(
            0, kind.name, caption.c_str(), WS_CHILD | WS_VISIBLE | kind.style, 0, 0, 0, 0, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i)), instance, nullptr);
    }
    for (const PathBoxRow& box : PathBoxes()) {
        const auto id = static_cast<UINT_PTR>(box.input);
        SetWindowSubclass(Box(box.input), ComboProc, id, reinterpret_cast<DWORD_PTR>(this));
        SetWindowSubclass(BoxEdit(box.input), EditProc, id, reinterpret_cast<DWORD_PTR>(this));
        SendMessageW(Box(box.input), CB_SETMINVISIBLE, kVisibleListRows, 0);
    }
}

void FormWindow::CreateCreditTip(HINSTANCE instance) {
    creditTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 window_, nullptr, instance, nullptr);
    std::wstring address = Widen(commands_.CreditAddress());
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(Control("lblCredits"));
    tool.lpszText = address.data();
    SendMessageW(creditTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

RECT FormWindow::Scaled(const Rect& twips) const {
    const int left = Scale(twips.left);
    const int top = Scale(twips.top);
    return {left, top, left + Scale(twips.width), top + Scale(twips.height)};
}

void FormWindow::Layout() {
    const auto rows = FormControls();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!controls_[i]) {
            continue;
        }
        DeleteObject(fonts_[i]);
        fonts_[i] = CreateLayoutFont(rows[i].font, dpi_);
        SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[i]), FALSE);
        const RECT place = Scaled(rows[i].twips);
        SetWindowPos(controls_[i], nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        if (rows[i].kind == ControlKind::PathBox) {
            FitBoxHeight(controls_[i], place.bottom - place.top);
        }
    }
    InvalidateRect(window_, nullptr, TRUE);
}

// A drop-down combo box takes its height from its font; the selection field's height is
// what sets it to the layout's.
void FormWindow::FitBoxHeight(HWND combo, int height) const {
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT now;
        GetWindowRect(combo, &now);
        const int difference = height - (now.bottom - now.top);
        if (difference == 0) {
            return;
        }
        const auto field = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, -1, 0));
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + difference);
    }
}

void FormWindow::CentreOnScreen() {
    RECT frame = Scaled(kClientTwips);
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, 0, static_cast<UINT>(dpi_));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& screen = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window_, nullptr, screen.left + (screen.right - screen.left - width) / 2,
                 screen.top + (screen.bottom - screen.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND FormWindow::Control(std::string_view name) const {
    const std::size_t index = RowIndex(name);
    return index < controls_.size() ? controls_[index] : nullptr;
}

HWND FormWindow::Box(RunInput box) const {
    return Control(PathBoxOf(box).box);
}

HWND FormWindow::BoxEdit(RunInput box) const {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(Box(box), &info);
    return info.hwndItem;
}

int FormWindow::RowOf(HWND control) const {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (control && controls_[i] == control) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string FormWindow::BoxText(RunInput box) const {
    return WindowText(Box(box));
}

void FormWindow::SetBoxText(RunInput box, const std::string& text) {
    SetWindowTextUtf8(Box(box), text);
}

void FormWindow::FocusBox(RunInput box) {
    SetFocus(Box(box));
}

LRESULT CALLBACK FormWindow::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->Handle(message, w, l) : DefWindowProcW(window, message, w, l);
}

LRESULT FormWindow::Handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_CTLCOLORSTATIC:
            return StaticColours(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l));
        case WM_CTLCOLOREDIT:
            for (const PathBoxRow& box : PathBoxes()) {
                if (reinterpret_cast<HWND>(l) == BoxEdit(box.input)) {
                    const ControlRow& row = *FindControl(box.box);
                    SetTextColor(reinterpret_cast<HDC>(w), ToColorRef(row.text.value_or(0)));
                    SetBkColor(reinterpret_cast<HDC>(w), GetSysColor(COLOR_WINDOW));
                    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
                }
            }
            break;
        case WM_DRAWITEM:
            DrawStartButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
            return TRUE;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(w) == Control("lblCredits")) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_COMMAND:
            Command(static_cast<int>(LOWORD(w)) - kFirstControlId, HIWORD(w));
            return 0;
        case DM_GETDEFID:
            return MAKELRESULT(kFirstControlId + RowIndex("btnStart"), DC_HASDEFID);
        case WM_DPICHANGED: {
            dpi_ = HIWORD(w);
            const RECT* suggested = reinterpret_cast<const RECT*>(l);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            Layout();
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            window_ = nullptr;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, w, l);
}

void FormWindow::Command(int row, int notification) {
    if (row < 0 || static_cast<std::size_t>(row) >= controls_.size()) {
        return;
    }
    const std::string_view name = Row(static_cast<std::size_t>(row)).name;
    if (name == "btnStart" && notification == BN_CLICKED) {
        commands_.btnStart_Click();
    } else if (name == "lblCredits" && notification == STN_CLICKED) {
        commands_.lblCredits_Click();
    } else if (const PathBoxRow* box = BoxNamed(name, &PathBoxRow::button)) {
        if (notification == BN_CLICKED) {
            commands_.btnOpen_Click(static_cast<int>(box->input));
        }
    } else if (const PathBoxRow* label = BoxNamed(name, &PathBoxRow::label)) {
        if (notification == STN_CLICKED) {
            commands_.lblFile_Click(static_cast<int>(label->input));
        }
    } else if (const PathBoxRow* field = BoxNamed(name, &PathBoxRow::box)) {
        if (notification == CBN_SETFOCUS) {
            SelectWhole(field->input);
        }
    }
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
    const ControlRow& row = Row(static_cast<std::size_t>(index));
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

bool FormWindow::TranslateForWindow(MSG& message) {
    if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) {
        return false;
    }
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
        const int key = static_cast<int>(message.wParam);
        commands_.KeyPressed(key);
        if (const PathBoxRow* box = BoxWithOpenList(message.hwnd)) {
            switch (CompletionListKey(FormKey(key, ModifierState()), ModifierState())) {
                case ListKeyAction::Close:
                    CloseList(box->input);
                    return true;
                case ListKeyAction::CloseAndForward:
                    CloseList(box->input);
                    break;
                case ListKeyAction::Forward:
                case ListKeyAction::Walk:  // the open list walks its rows itself
                    return false;
            }
        }
        if (message.message == WM_KEYDOWN) {
            const bool autoRepeat = (message.lParam & (1 << 30)) != 0;
            switch (WindowKeyDown(key, autoRepeat)) {
                case WindowKeyAction::PressStart:
                    commands_.btnStart_Click();
                    return true;
                case WindowKeyAction::Ignore:
                    return true;
                case WindowKeyAction::Pass:
                    break;
            }
        }
    }
    return IsDialogMessageW(window_, &message) != FALSE;
}

const PathBoxRow* FormWindow::BoxWithOpenList(HWND target) const {
    for (const PathBoxRow& box : PathBoxes()) {
        const HWND combo = Box(box.input);
        if ((target == combo || target == BoxEdit(box.input)) &&
            SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) {
            return &box;
        }
    }
    return nullptr;
}

void FormWindow::CloseList(RunInput box) {
    // Closing may put the list's current row into the field; the box keeps what it shows.
    const EditState shown = ReadEdit(BoxEdit(box));
    SendMessageW(Box(box), CB_SHOWDROPDOWN, FALSE, 0);
    ApplyEdit(BoxEdit(box), shown);
}

void FormWindow::SelectWhole(RunInput box) {
    const HWND edit = BoxEdit(box);
    ApplyEdit(edit, txtFile_GotFocus(ReadEdit(edit)));
}

bool FormWindow::BoxKeyDown(RunInput box, int virtualKey) {
    const HWND edit = BoxEdit(box);
    const int shift = ModifierState();
    switch (txtFile_KeyDown(FormKey(virtualKey, shift), shift, ReadEdit(edit))) {
        case BoxAction::Browse:
            commands_.btnOpen_Click(static_cast<int>(box));
            return true;
        case BoxAction::CaretToEnd:
            ApplyEdit(edit, CaretAtEnd(WindowText(edit)));
            return false;
        case BoxAction::Complete:
        case BoxAction::Nothing:
            break;
    }
    return false;
}

void FormWindow::BoxKeyUp(RunInput box, int virtualKey) {
    if (!commands_.KeyReleased(virtualKey)) {
        return;
    }
    const int shift = ModifierState();
    const int key = FormKey(virtualKey, shift);
    if (txtFile_KeyUp(key, shift) == BoxAction::Complete) {
        Complete(box, key, shift);
    }
}

void FormWindow::Complete(RunInput box, int keyCode, int shift) {
    const HWND combo = Box(box);
    const HWND edit = BoxEdit(box);
    const std::optional<Completion> completion = AutoComplete(ReadEdit(edit), keyCode, shift);
    if (!completion) {
        return;
    }
    LockWindowUpdate(window_);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : completion->entries) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(entry).c_str()));
    }
    SendMessageW(combo, CB_SHOWDROPDOWN, completion->entries.empty() ? FALSE : TRUE, 0);
    LockWindowUpdate(nullptr);
    ApplyEdit(edit, completion->edit);
}

void FormWindow::Paste(RunInput box) {
    if (!OpenClipboard(window_)) {
        return;
    }
    std::string pasted;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            pasted = WithoutLineBreaks(Narrow(text));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    SendMessageW(BoxEdit(box), EM_REPLACESEL, TRUE,
                 reinterpret_cast<LPARAM>(Widen(pasted).c_str()));
}

LRESULT CALLBACK FormWindow::EditProc(HWND edit, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                      DWORD_PTR data) {
    auto* self = reinterpret_cast<FormWindow*>(data);
    const auto box = static_cast<RunInput>(id);
    switch (message) {
        case WM_KEYDOWN:
            if (self->BoxKeyDown(box, static_cast<int>(w))) {
                return 0;
            }
            break;
        case WM_KEYUP: {
            // The release is seen after the field handled the key's character.
            const LRESULT result = DefSubclassProc(edit, message, w, l);
            self->BoxKeyUp(box, static_cast<int>(w));
            return result;
        }
        case WM_PASTE:
            self->Paste(box);
            return 0;
        case WM_LBUTTONDOWN:
            if (GetFocus() != edit) {
                // A click that brings the focus selects the whole text, as Tab does.
                const LRESULT result = DefSubclassProc(edit, message, w, l);
                self->SelectWhole(box);
                return result;
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(edit, EditProc, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(edit, message, w, l);
}

LRESULT CALLBACK FormWindow::ComboProc(HWND combo, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                       DWORD_PTR) {
    switch (message) {
        case WM_MOUSEWHEEL:
            // The wheel would put another entry into the box; only the open list scrolls.
            if (!SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) {
                return 0;
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(combo, ComboProc, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(combo, message, w, l);
}

}  // namespace tamsel::win32
