#include "win32/progress_dialog.h"

#include <commctrl.h>

#include <utility>

#include "win32/wide_text.h"
#include "window/form_layout.h"

namespace tamsel::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TamselRunProgress";

// The dialog's client area and its controls, in pixels at 96 dots per inch.
constexpr int kWidth = 380;
constexpr int kHeight = 112;
constexpr int kMargin = 12;
constexpr int kTextHeight = 20;
constexpr int kBarHeight = 18;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;

}  // namespace

void ProgressDialog::Show(HWND owner, const RunProgress& progress, std::function<void()> cancel) {
    if (!dialog_) {
        cancel_ = std::move(cancel);
        Open(owner);
        if (!dialog_) {
            return;
        }
    }
    SetWindowTextUtf8(text_, progress.text);
    if (progress.waiting != waiting_) {
        // No amount while waiting: the bar runs to and fro to say that the run is alive.
        waiting_ = progress.waiting;
        const LONG_PTR style = GetWindowLongPtrW(bar_, GWL_STYLE);
        SetWindowLongPtrW(bar_, GWL_STYLE,
                          waiting_ ? style | PBS_MARQUEE : style & ~LONG_PTR{PBS_MARQUEE});
        SendMessageW(bar_, PBM_SETMARQUEE, waiting_ ? TRUE : FALSE, 0);
    }
    if (!waiting_) {
        SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(progress.percent), 0);
    }
}

void ProgressDialog::Open(HWND owner) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DialogProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // fails harmlessly the second time

    const int dpi = static_cast<int>(GetDpiForWindow(owner));
    const auto scale = [dpi](int pixels) { return MulDiv(pixels, dpi, USER_DEFAULT_SCREEN_DPI); };
    constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, scale(kWidth), scale(kHeight)};
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, WS_EX_DLGMODALFRAME, static_cast<UINT>(dpi));
    RECT ownerFrame;
    GetWindowRect(owner, &ownerFrame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = ownerFrame.left + (ownerFrame.right - ownerFrame.left - width) / 2;
    const int top = ownerFrame.top + (ownerFrame.bottom - ownerFrame.top - height) / 2;
    const std::wstring title = Widen(kApplicationTitle);
    dialog_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, title.c_str(), kStyle, left, top,
                              width, height, owner, nullptr, instance, this);
    if (!dialog_) {
        return;
    }
    owner_ = owner;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                               static_cast<UINT>(dpi));
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);
    const int inner = scale(kWidth - 2 * kMargin);
    text_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                            scale(kMargin), scale(kMargin), inner, scale(kTextHeight), dialog_,
                            nullptr, instance, nullptr);
    bar_ = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, scale(kMargin),
                           scale(kMargin + kTextHeight + 4), inner, scale(kBarHeight), dialog_,
                           nullptr, instance, nullptr);
    SendMessageW(bar_, PBM_SETRANGE32, 0, 100);
    cancelButton_ = CreateWindowExW(
        0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
        scale(kWidth - kMargin - kButtonWidth), scale(kHeight - kMargin - kButtonHeight),
        scale(kButtonWidth), scale(kButtonHeight), dialog_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), instance, nullptr);
    for (HWND control : {text_, cancelButton_}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    // Not modal: the form's controls are locked already, and a disabled form would not
    // hear its close button. It takes the keys from an active form.
    ShowWindow(dialog_, GetActiveWindow() == owner_ ? SW_SHOW : SW_SHOWNOACTIVATE);
    if (GetActiveWindow() == dialog_) {
        SetFocus(cancelButton_);
    }
}

void ProgressDialog::Cancel() {
    if (cancel_) {
        const std::function<void()> cancel = std::exchange(cancel_, {});
        EnableWindow(cancelButton_, FALSE);
        cancel();
    }
}

void ProgressDialog::Close() {
    if (!dialog_) {
        return;
    }
    // The activation goes back to the form, not to another program.
    const bool active = GetActiveWindow() == dialog_;
    const HWND dialog = std::exchange(dialog_, nullptr);
    if (active) {
        SetActiveWindow(owner_);
    }
    DestroyWindow(dialog);
    DeleteObject(font_);
    font_ = nullptr;
    waiting_ = false;
    cancel_ = {};
}

LRESULT CALLBACK ProgressDialog::DialogProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<ProgressDialog*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<ProgressDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Cancel, Esc, Enter (IDOK when the button lost the focus) and the close box.
    if (self && ((message == WM_COMMAND && (LOWORD(w) == IDCANCEL || LOWORD(w) == IDOK)) ||
                 message == WM_CLOSE)) {
        self->Cancel();
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

}  // namespace tamsel::win32
