// The main window's keys: Enter and Esc for the whole window, the completion list's keys,
// and the path boxes' own keys, pasting and focus, through the form logic.

#include "win32/form_window.h"

#include <commctrl.h>

#include "win32/edit_field.h"
#include "win32/wide_text.h"
#include "window/path_box_keys.h"
#include "window/path_completion.h"

namespace tamsel::win32 {

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
            switch (WindowKeyDown(key, ModifierState(), autoRepeat)) {
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
    const std::optional<Completion> completion =
        AutoComplete(ReadEdit(BoxEdit(box)), keyCode, shift);
    if (!completion) {
        return;
    }
    LockWindowUpdate(window_);
    FillList(box, completion->entries);
    LockWindowUpdate(nullptr);
    ApplyEdit(BoxEdit(box), completion->edit);
}

void FormWindow::FillList(RunInput box, const std::vector<std::string>& entries) {
    const HWND combo = Box(box);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo, &info);
    // The open list is a window of its own, which the form's lock does not cover: drawn
    // anew for every added entry, thousands of entries froze the window for a minute.
    // It also takes its height from its entries only as it opens, so it is closed while
    // it is refilled and opened again afterwards.
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    SendMessageW(info.hwndList, WM_SETREDRAW, FALSE, 0);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    std::vector<std::wstring> wide;
    wide.reserve(entries.size());
    std::size_t characters = 0;
    for (const std::string& entry : entries) {
        wide.push_back(Widen(entry));
        characters += wide.back().size() + 1;
    }
    SendMessageW(combo, CB_INITSTORAGE, wide.size(), characters * sizeof(wchar_t));
    for (const std::wstring& entry : wide) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    SendMessageW(info.hwndList, WM_SETREDRAW, TRUE, 0);
    if (!entries.empty()) {
        SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    }
}

void FormWindow::Paste(RunInput box) {
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
