#include "win32/edit_field.h"

#include "win32/wide_text.h"
#include "window/virtual_keys.h"

namespace tamsel::win32 {

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

int ModifierState() {
    int shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) {
        shift |= vk::kShiftHeld;
    }
    if (GetKeyState(VK_CONTROL) < 0) {
        shift |= vk::kControlHeld;
    }
    if (GetKeyState(VK_MENU) < 0) {
        shift |= vk::kAltHeld;
    }
    return shift;
}

int FormKey(int virtualKey, int shift) {
    const UINT typed = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_CHAR) & 0xFFFF;
    if (typed == L'\\' || (typed == L'/' && shift == 0)) {
        return vk::kBackslash;
    }
    return virtualKey;
}

}  // namespace tamsel::win32
