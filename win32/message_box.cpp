// The desktop's message box: the system's, its long lines broken at their separators (the
// system breaks only at blanks, and a long path has none) and widened to show its caption.

#include "win32/win32_desktop.h"

#include <commctrl.h>

#include <cwchar>
#include <string_view>

#include "win32/wide_text.h"
#include "window/form_layout.h"
#include "window/message_lines.h"

namespace tamsel::win32 {

namespace {

// The box being shown on this thread: a message box is modal, so there is one at a time.
struct Showing {
    HHOOK hook = nullptr;
    const std::wstring* caption = nullptr;
    bool subclassed = false;
};
thread_local Showing showing;

bool HasClass(HWND window, const wchar_t* name) {
    wchar_t found[8] = {};
    GetClassNameW(window, found, 8);
    return _wcsicmp(found, name) == 0;
}

// One of the system's title-bar or message fonts at a resolution, selected into a screen
// DC to measure texts in.
class SystemFont {
  public:
    SystemFont(LOGFONTW NONCLIENTMETRICSW::*which, UINT dpi) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
        font_ = CreateFontIndirectW(&(metrics.*which));
        screen_ = GetDC(nullptr);
        old_ = SelectObject(screen_, font_);
    }
    ~SystemFont() {
        SelectObject(screen_, old_);
        ReleaseDC(nullptr, screen_);
        DeleteObject(font_);
    }
    SystemFont(const SystemFont&) = delete;
    SystemFont& operator=(const SystemFont&) = delete;

    int Width(std::wstring_view text) const {
        SIZE size{};
        GetTextExtentPoint32W(screen_, text.data(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    }

  private:
    HFONT font_;
    HDC screen_;
    HGDIOBJ old_;
};

// The width a box's frame needs for `caption` in the title bar at `dpi`: the caption's
// text, the window's icon and three title-bar buttons, with a button's width to spare.
int CaptionFrameWidth(const std::wstring& caption, UINT dpi) {
    const int text = SystemFont(&NONCLIENTMETRICSW::lfCaptionFont, dpi).Width(caption);
    // A window manager that draws the title bar itself may take a wider face and show
    // buttons that the box has not got: the caption's width again is kept to spare.
    const int button = GetSystemMetricsForDpi(SM_CXSIZE, dpi);
    return 2 * text + GetSystemMetricsForDpi(SM_CXSMICON, dpi) + 4 * button +
           2 * GetSystemMetricsForDpi(SM_CXFIXEDFRAME, dpi);
}

// The system sizes the box for its text only: a short one ("Done") left the caption cut
// off behind the title bar's buttons.
void FitCaption(HWND box, const std::wstring& caption) {
    RECT frame;
    GetWindowRect(box, &frame);
    const int grow = CaptionFrameWidth(caption, GetDpiForWindow(box)) - (frame.right - frame.left);
    if (grow <= 0) {
        return;
    }
    // The box grows first, so that no moment shows a button beyond its edge. The buttons
    // stay centred; the icon and the text keep their place on the left.
    SetWindowPos(box, nullptr, frame.left - grow / 2, frame.top, frame.right - frame.left + grow,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (HasClass(child, L"Button")) {
            RECT place;
            GetWindowRect(child, &place);
            MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&place), 2);
            SetWindowPos(child, nullptr, place.left + grow / 2, place.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

const UINT kFitMessage = RegisterWindowMessageW(L"TamselFitCaption");

LRESULT CALLBACK FitOnce(HWND box, UINT message, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR) {
    if (message == kFitMessage) {
        RemoveWindowSubclass(box, FitOnce, id);
        FitCaption(box, *showing.caption);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(box, FitOnce, id);
    }
    return DefSubclassProc(box, message, w, l);
}

// The box is first activated while it lays itself out (wine places its buttons only after
// that), so it is widened by a message that its modal loop handles before it first paints.
LRESULT CALLBACK WatchActivation(int code, WPARAM w, LPARAM l) {
    const auto box = reinterpret_cast<HWND>(w);
    if (code == HCBT_ACTIVATE && !showing.subclassed && HasClass(box, L"#32770")) {
        showing.subclassed = SetWindowSubclass(box, FitOnce, 1, 0) != FALSE;
        PostMessageW(box, kFitMessage, 0, 0);
    }
    return CallNextHookEx(showing.hook, code, w, l);
}

// What a message box takes beside its text: the icon, the margins and the frame.
constexpr int kMessageChrome = 120;

// `text` broken to fit about two thirds of the owner's screen in the message font.
std::wstring WrappedForMessageBox(HWND owner, const std::string& text) {
    const UINT dpi = owner ? GetDpiForWindow(owner) : GetDpiForSystem();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const SystemFont font(&NONCLIENTMETRICSW::lfMessageFont, dpi);
    const int limit = MessageTextWidth(monitor.rcWork.right - monitor.rcWork.left,
                                       MulDiv(kMessageChrome, static_cast<int>(dpi), 96));
    return Widen(WrapMessage(text, limit,
                             [&font](std::string_view piece) { return font.Width(Widen(piece)); }));
}

}  // namespace

void Win32Desktop::ShowMessage(const std::string& text, MessageIcon icon) {
    const std::wstring caption = Widen(kApplicationTitle);
    showing = {SetWindowsHookExW(WH_CBT, WatchActivation, nullptr, GetCurrentThreadId()), &caption,
               false};
    const UINT flags =
        MB_OK | (icon == MessageIcon::Information ? MB_ICONINFORMATION : MB_ICONEXCLAMATION);
    MessageBoxW(owner_, WrappedForMessageBox(owner_, text).c_str(), caption.c_str(), flags);
    UnhookWindowsHookEx(showing.hook);
    showing = {};
}

}  // namespace tamsel::win32
