// The main window's keys and the path boxes' events, handed raw to the form's commands and
// the boxes' controllers; what they decide is drawn through the boxes' views.

#include "win32/form_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "window/path_completion.h"
#include "window/virtual_keys.h"

namespace tamsel::win32 {

namespace {

int ModifierState() {
    int shift = 0;
    constexpr std::pair<int, int> kHeld[] = {
        {VK_SHIFT, vk::kShiftHeld}, {VK_CONTROL, vk::kControlHeld}, {VK_MENU, vk::kAltHeld}};
    for (const auto& [key, held] : kHeld) {
        if (GetKeyState(key) < 0) {
            shift |= held;
        }
    }
    return shift;
}

// A key that types "/" without modifiers, or "\" with any, is the separator key: Windows
// accepts both separators.
int FormKey(int virtualKey, int shift) {
    const UINT typed = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_CHAR) & 0xFFFF;
    if (typed == L'\\' || (typed == L'/' && shift == 0)) {
        return vk::kBackslash;
    }
    return virtualKey;
}

// A key as the form logic takes it. Windows flags every repeat of a held key, so the
// events carry no time: pairing a release with the next press is for platforms that send
// a held key as release/press pairs, and synthetic keys come faster than any finger.
KeyEvent FormKeyEvent(WPARAM virtualKey, bool autoRepeat) {
    const int key = static_cast<int>(virtualKey);
    const int shift = ModifierState();
    return {FormKey(key, shift), shift, {}, autoRepeat, key};
}

// Bit 30 of a key-down message: the key was down already.
KeyEvent KeyDownEvent(const MSG& message) {
    return FormKeyEvent(message.wParam, (message.lParam & (1 << 30)) != 0);
}

// The forms of this thread, whose modal loops the hook watches.
thread_local std::vector<FormWindow*> watchingForms;
thread_local HHOOK modalLoopHook = nullptr;

bool IsIn(HWND window, HWND target) {
    return window && (target == window || IsChild(window, target));
}

}  // namespace

bool FormWindow::ModalAnswers(const MSG& message) {
    switch (message.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            return commands_.ModalKeyDown(KeyDownEvent(message));
        case WM_KEYUP:
        case WM_SYSKEYUP:
            return commands_.ModalKeyUp(FormKeyEvent(message.wParam, false));
        default:
            return true;
    }
}

LRESULT CALLBACK FormWindow::ModalLoopHook(int code, WPARAM w, LPARAM l) {
    if (code == MSGF_DIALOGBOX) {
        // The form's own IsDialogMessage comes here too; only the windows it owns count.
        const MSG& message = *reinterpret_cast<const MSG*>(l);
        const HWND owner = GetAncestor(message.hwnd, GA_ROOTOWNER);
        const HWND root = GetAncestor(message.hwnd, GA_ROOT);
        for (FormWindow* form : watchingForms) {
            if (form->window_ && owner == form->window_ && root != form->window_ &&
                !form->ModalAnswers(message)) {
                return 1;  // the box never sees it
            }
        }
    }
    return CallNextHookEx(modalLoopHook, code, w, l);
}

void FormWindow::WatchModalLoops() {
    if (watchingForms.empty()) {
        modalLoopHook =
            SetWindowsHookExW(WH_MSGFILTER, ModalLoopHook, nullptr, GetCurrentThreadId());
    }
    watchingForms.push_back(this);
}

void FormWindow::StopWatchingModalLoops() {
    if (std::erase(watchingForms, this) != 0 && watchingForms.empty()) {
        UnhookWindowsHookEx(modalLoopHook);
        modalLoopHook = nullptr;
    }
}

bool FormWindow::TranslateForWindow(MSG& message) {
    if (const HWND dialog = progress_.Handle(); IsIn(dialog, message.hwnd)) {
        // Esc and Enter reach its Cancel as in a dialog box, unless held from before.
        return !ModalAnswers(message) || IsDialogMessageW(dialog, &message) != FALSE;
    }
    if (!window_ || !IsIn(window_, message.hwnd)) {
        return false;
    }
    // The Folder row's open list takes its own Enter and Esc, as a dialog box lets it.
    const HWND folders = Control("cboFolder");
    const bool folderListOpen =
        message.hwnd == folders && SendMessageW(folders, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
    if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) && !folderListOpen) {
        if (commands_.KeyDown(KeyDownEvent(message), BoxOf(message.hwnd))) {
            return true;
        }
    }
    return IsDialogMessageW(window_, &message) != FALSE;
}

PathBoxController* FormWindow::BoxOf(HWND target) const {
    const auto found = std::ranges::find_if(boxes_, [target](const auto& box) {
        return box && (target == box->Combo() || target == box->Field());
    });
    return found != boxes_.end() ? &(*found)->Controller() : nullptr;
}

void FormWindow::Paste(ComboBoxView& box) {
    if (!OpenClipboard(window_)) {
        return;
    }
    std::string pasted;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            pasted = WithoutLineBreaks(EditState{Narrow(text), 0, 0}).text;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    SendMessageW(box.Field(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Widen(pasted).c_str()));
}

void FormWindow::ArrowPressed(ComboBoxView& box) {
    if (GetFocus() != box.Field()) {
        clicking_ = true;
        SetFocus(box.Field());
        clicking_ = false;
    }
    box.Controller().ArrowPressed();
}

void FormWindow::CloseListsOn(UINT message, WPARAM w, LPARAM l) {
    HWND pressed = nullptr;
    switch (message) {
        case WM_PARENTNOTIFY:
            if (LOWORD(w) != WM_LBUTTONDOWN && LOWORD(w) != WM_RBUTTONDOWN &&
                LOWORD(w) != WM_MBUTTONDOWN) {
                return;
            }
            pressed = ChildWindowFromPoint(window_, {GET_X_LPARAM(l), GET_Y_LPARAM(l)});
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_MOVE:
        case WM_DPICHANGED:
            break;
        default:
            return;
    }
    for (const auto& box : boxes_) {
        // A press on the box itself is the box's: its arrow closes the list.
        if (box && box->Combo() != pressed && box->ListOpen()) {
            box->CloseList();
        }
    }
}

void FormWindow::BoxFocus(ComboBoxView& box, int notification) {
    PathBoxController& controller = box.Controller();
    if (notification == CBN_SETFOCUS) {
        // The focus given back on activation returns to the box; it does not enter anew.
        controller.FocusIn(givingFocusBack_ ? FocusReason::Window
                           : clicking_      ? FocusReason::Mouse
                                            : FocusReason::Other);
    } else if (notification == CBN_KILLFOCUS) {
        // Leaving for another window (a dialog, another program) leaves with the window.
        const bool withWindow = GetActiveWindow() != window_;
        commands_.BoxFocusOut(controller, withWindow ? FocusReason::Window : FocusReason::Other);
        if (!withWindow) {
            // A combo box's field shows its selection without the focus: only the focused
            // box may show one. The box is entered anew, whole, when the focus comes back.
            SendMessageW(box.Field(), EM_SETSEL, static_cast<WPARAM>(-1), 0);
        }
    }
}

LRESULT CALLBACK FormWindow::EditProc(HWND edit, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                      DWORD_PTR data) {
    auto* self = reinterpret_cast<FormWindow*>(data);
    ComboBoxView& box = *self->boxes_[id];
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            // The keys that drop a combo box's own list open this one instead.
            if ((message == WM_KEYDOWN && w == VK_F4) ||
                (message == WM_SYSKEYDOWN && (w == VK_DOWN || w == VK_UP))) {
                self->ArrowPressed(box);
                return 0;
            }
            // A closed combo box steps through its entries; the entries are the list's now.
            if (message == WM_KEYDOWN && !box.ListOpen()) {
                const auto rows = static_cast<int>(box.Entries().size());
                if (const std::optional<int> row =
                        WalkRow(static_cast<int>(w), box.ListRow(), rows, box.VisibleRows())) {
                    box.ChooseRow(*row);
                    return 0;
                }
            }
            break;
        case WM_KEYUP: {
            // The release is seen after the field handled the key's character.
            const LRESULT result = DefSubclassProc(edit, message, w, l);
            self->commands_.KeyUp(FormKeyEvent(w, false), &box.Controller());
            return result;
        }
        case WM_PASTE:
            self->Paste(box);
            return 0;
        case WM_LBUTTONDOWN:
            if (GetFocus() != edit) {
                // The press that brings the focus places the caret after the focus came.
                self->clicking_ = true;
                const LRESULT result = DefSubclassProc(edit, message, w, l);
                self->clicking_ = false;
                box.Controller().ClickEnded();
                return result;
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(edit, EditProc, id);
            break;
    }
    return DefSubclassProc(edit, message, w, l);
}

LRESULT CALLBACK FormWindow::ComboProc(HWND combo, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                       DWORD_PTR data) {
    auto* self = reinterpret_cast<FormWindow*>(data);
    ComboBoxView& box = *self->boxes_[id];
    switch (message) {
        case WM_MOUSEWHEEL:
            // Only the open list scrolls; the box's own would put another entry into it.
            if (box.ListOpen()) {
                box.Wheel(w, l);
            }
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            // The arrow opens the box's list in place of the combo box's own.
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            GetComboBoxInfo(combo, &info);
            if (PtInRect(&info.rcButton, {GET_X_LPARAM(l), GET_Y_LPARAM(l)})) {
                self->ArrowPressed(box);
                return 0;
            }
            break;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(combo, ComboProc, id);
            break;
    }
    return DefSubclassProc(combo, message, w, l);
}

}  // namespace tamsel::win32
