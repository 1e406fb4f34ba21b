#include "win32/form_window.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace tamsel::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TamselFormMain";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kFirstControlId = 1000;

// A control's window class and style; no class for the rows the window draws itself.
std::pair<const wchar_t*, DWORD> ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX};
        case ControlKind::ClickLabel:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY};
        case ControlKind::PathBox:
            return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP};
        case ControlKind::BrowseButton:
            return {L"BUTTON", BS_PUSHBUTTON};
        case ControlKind::FolderList:
            return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP};
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

// A drop-down combo box takes its height from its font; the selection field's height is
// what sets it to the layout's.
void FitBoxHeight(HWND combo, int height) {
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

// Whether another window of the program than `self` has its top left corner at `corner`.
bool OtherWindowAt(HWND self, POINT corner) {
    HWND other = nullptr;
    while ((other = FindWindowExW(nullptr, other, kClassName, nullptr))) {
        RECT frame;
        if (other != self && IsWindowVisible(other) && GetWindowRect(other, &frame) &&
            frame.left == corner.x && frame.top == corner.y) {
            return true;
        }
    }
    return false;
}

}  // namespace

FormWindow::FormWindow(DesktopServices& desktop, std::string programFolder, std::string homepage,
                       FormCommands::Conversion conversion)
    : commands_(*this, desktop, RealFileSystem(), std::move(conversion)),
      programFolder_(std::move(programFolder)),
      homepage_(std::move(homepage)),
      controls_(FormControls().size(), nullptr),
      fonts_(FormControls().size(), nullptr) {
    commands_.RunInBackground(*this, thread_);
}

FormWindow::~FormWindow() {
    StopWatchingModalLoops();
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
    const auto icon = [instance](int width, int height) {
        return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                             GetSystemMetrics(width), GetSystemMetrics(height), 0));
    };
    windowClass.hIcon = icon(SM_CXICON, SM_CYICON);
    windowClass.hIconSm = icon(SM_CXSMICON, SM_CYSMICON);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // fails harmlessly when a second window registers again

    const std::wstring title = Widen(kApplicationTitle);
    if (!CreateWindowExW(0, kClassName, title.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this)) {
        return false;
    }
    thread_.Attach(window_);
    WatchModalLoops();
    dpi_ = static_cast<int>(GetDpiForWindow(window_));
    CreatePaintObjects(instance);
    CreateControls(instance);
    commands_.Form_Load(programFolder_, homepage_);
    CreateCreditTip(instance);
    NameForScreenReaders();
    DragAcceptFiles(window_, TRUE);
    Layout();
    PlaceOnScreen();
    ShowWindow(window_, SW_SHOW);
    FocusBox(RunInput::List);
    return true;
}

void FormWindow::CreateControls(HINSTANCE instance) {
    // Creation order is the Tab order among the controls that are tab stops.
    const auto rows = FormControls();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto [name, style] = ClassOf(rows[i].kind);
        if (!name) {
            continue;
        }
        const std::wstring caption = Widen(rows[i].caption);
        controls_[i] = CreateWindowExW(
            0, name, caption.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i)), instance, nullptr);
    }
    for (const PathBoxRow& box : PathBoxes()) {
        const auto id = static_cast<UINT_PTR>(box.input);
        boxes_[id] = std::make_unique<ComboBoxView>(window_, Box(box.input), box.input, commands_);
        SetWindowSubclass(Box(box.input), ComboProc, id, reinterpret_cast<DWORD_PTR>(this));
        SetWindowSubclass(BoxEdit(box.input), EditProc, id, reinterpret_cast<DWORD_PTR>(this));
    }
}

void FormWindow::CreateCreditTip(HINSTANCE instance) {
    const HWND tip = CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance, nullptr);
    std::wstring address = Widen(commands_.CreditAddress());
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(Control("lblCredits"));
    tool.lpszText = address.data();
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
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
        fonts_[i] = CreateLayoutFont(rows[i].font);
        SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[i]), FALSE);
        const RECT place = Scaled(rows[i].twips);
        SetWindowPos(controls_[i], nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        if (rows[i].kind == ControlKind::PathBox || rows[i].kind == ControlKind::FolderList) {
            FitBoxHeight(controls_[i], place.bottom - place.top);
        }
    }
    InvalidateRect(window_, nullptr, TRUE);
}

// Centred on the screen; a window of the program already there moves this one down and to
// the right by a caption's height, as the system cascades windows, so that both show.
void FormWindow::PlaceOnScreen() {
    RECT frame = Scaled(kClientTwips);
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, 0, static_cast<UINT>(dpi_));
    const int step = -frame.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& screen = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    POINT place{screen.left + (screen.right - screen.left - width) / 2,
                screen.top + (screen.bottom - screen.top - height) / 2};
    // Bounded: a screen full of windows ends the cascade rather than the start-up.
    for (int tries = 0; tries < 100 && OtherWindowAt(window_, place); ++tries) {
        place.x += step;
        place.y += step;
        if (place.x + width > screen.right || place.y + height > screen.bottom) {
            place = {screen.left, screen.top};
        }
    }
    SetWindowPos(window_, nullptr, place.x, place.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND FormWindow::Control(std::string_view name) const {
    const std::size_t index = ControlIndex(name);
    return index < controls_.size() ? controls_[index] : nullptr;
}

HWND FormWindow::BoxEdit(RunInput box) const {
    const auto& view = boxes_[static_cast<std::size_t>(box)];
    return view ? view->Field() : nullptr;  // none before the boxes are made
}

int FormWindow::RowOf(HWND control) const {
    const auto found = std::ranges::find(controls_, control);
    return control && found != controls_.end() ? static_cast<int>(found - controls_.begin()) : -1;
}

void FormWindow::SetFolderRows(const std::vector<std::string>& rows, int chosen) {
    const HWND list = Control("cboFolder");
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& row : rows) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(row).c_str()));
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

int FormWindow::ChosenFolderRow() const {
    return static_cast<int>(SendMessageW(Control("cboFolder"), CB_GETCURSEL, 0, 0));
}

// Dialog boxes keep the focused control while another window is active and give it back
// on activation; a plain window would take the focus itself and leave the keys nowhere.
void FormWindow::NoteFocus() {
    const HWND focus = GetFocus();
    if (focus && IsChild(window_, focus)) {
        lastFocus_ = focus;
    }
}

bool FormWindow::GiveFocusBack() {
    if (!lastFocus_ || !IsChild(window_, lastFocus_) || !IsWindowEnabled(lastFocus_)) {
        return false;
    }
    // The box keeps its caret and selection: the focus returns, it does not enter anew.
    givingFocusBack_ = true;
    SetFocus(lastFocus_);
    givingFocusBack_ = false;
    return true;
}

// A run locks the controls and shows the busy cursor and the progress dialog.
void FormWindow::SetBusy(bool busy) {
    if (busy == busy_) {
        return;
    }
    busy_ = busy;
    if (busy) {
        // A disabled control loses the focus; it comes back as after a message box.
        NoteFocus();
    }
    for (const PathBoxRow& box : PathBoxes()) {
        EnableWindow(Box(box.input), !busy);
        EnableWindow(Control(box.button), !busy);
    }
    EnableWindow(Control("btnStart"), !busy);
    if (!busy && GetActiveWindow() == window_) {
        GiveFocusBack();
    }
    POINT cursor;
    GetCursorPos(&cursor);
    SetCursorPos(cursor.x, cursor.y);  // the window answers WM_SETCURSOR anew
}

void FormWindow::ShowProgress(const RunProgress& progress) {
    progress_.Show(window_, progress, [this] {
        if (RunController* run = commands_.Runs()) {
            run->Cancel();
        }
    });
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
    if (thread_.Handle(message, w)) {
        return 0;
    }
    CloseListsOn(message, w, l);
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT: {
            const auto dc = reinterpret_cast<HDC>(w);
            const auto control = reinterpret_cast<HWND>(l);
            if (const LRESULT brush = message == WM_CTLCOLORSTATIC ? StaticColours(dc, control)
                                                                   : EditColours(dc, control)) {
                return brush;
            }
            break;
        }
        case WM_ACTIVATE:
            if (LOWORD(w) == WA_INACTIVE) {
                NoteFocus();
            } else if (!HIWORD(w) && GiveFocusBack()) {
                return 0;
            }
            break;
        case WM_SETFOCUS:
            if (GiveFocusBack()) {
                return 0;
            }
            break;
        case WM_DRAWITEM:
            DrawStartButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
            return TRUE;
        case WM_SETCURSOR:
            if (busy_ || reinterpret_cast<HWND>(w) == Control("lblCredits")) {
                SetCursor(LoadCursorW(nullptr, busy_ ? IDC_APPSTARTING : IDC_HAND));
                return TRUE;
            }
            break;
        case WM_COMMAND:
            Command(static_cast<int>(LOWORD(w)) - kFirstControlId, HIWORD(w));
            return 0;
        case DM_GETDEFID:
            return MAKELRESULT(kFirstControlId + ControlIndex("btnStart"), DC_HASDEFID);
        case WM_DPICHANGED: {
            dpi_ = HIWORD(w);
            const RECT* suggested = reinterpret_cast<const RECT*>(l);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            Layout();
            return 0;
        }
        case WM_DROPFILES:
            FilesDropped(reinterpret_cast<HDROP>(w));
            return 0;
        case WM_CLOSE:
            // While a run goes the window closes once the run has stopped.
            if (!commands_.CloseRequested()) {
                return 0;
            }
            break;
        case WM_DESTROY:
            ForgetScreenReaderNames();
            PostQuitMessage(0);
            window_ = nullptr;
            return 0;
    }
    return DefWindowProcW(window_, message, w, l);
}

void FormWindow::Command(int row, int notification) {
    if (row < 0 || static_cast<std::size_t>(row) >= controls_.size()) {
        return;
    }
    const std::string_view name = FormControls()[static_cast<std::size_t>(row)].name;
    if (name == "btnStart" && notification == BN_CLICKED) {
        commands_.btnStart_Click();
    } else if (name == "lblCredits" && notification == STN_CLICKED) {
        commands_.lblCredits_Click();
    } else if (const PathBoxRow* box = FindPathBox(name, &PathBoxRow::button)) {
        if (notification == BN_CLICKED) {
            commands_.btnOpen_Click(box->input);
        }
    } else if (const PathBoxRow* label = FindPathBox(name, &PathBoxRow::label)) {
        if (notification == STN_CLICKED) {
            commands_.lblFile_Click(label->input);
        }
    } else if (const PathBoxRow* field = FindPathBox(name, &PathBoxRow::box)) {
        if (const auto& box = boxes_[static_cast<std::size_t>(field->input)]) {
            BoxFocus(*box, notification);
        }
    }
}

}  // namespace tamsel::win32
