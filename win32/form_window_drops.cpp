// Files dropped on the window from the file manager. The shell's plain drop message comes
// only once the files are let go, so the cursor cannot show a refusal while dragging; a
// refused drop changes nothing and sounds the warning.

#include "win32/form_window.h"

namespace tamsel::win32 {

namespace {

std::vector<DroppedItem> ItemsOf(HDROP drop) {
    std::vector<DroppedItem> items;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0), L'\0');
        DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
        const DWORD attributes = GetFileAttributesW(path.c_str());
        const bool folder =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        items.push_back({Narrow(path), folder});
    }
    return items;
}

}  // namespace

void FormWindow::FilesDropped(HDROP drop) {
    const std::vector<DroppedItem> items = ItemsOf(drop);
    POINT at{};
    DragQueryPoint(drop, &at);
    DragFinish(drop);
    std::optional<RunInput> under;
    const HWND control = ChildWindowFromPointEx(window_, at, CWP_SKIPINVISIBLE);
    for (const PathBoxRow& box : PathBoxes()) {
        if (control && control == Box(box.input)) {
            under = box.input;
        }
    }
    if (!commands_.FilesDropped(items, under)) {
        MessageBeep(MB_ICONWARNING);
    }
}

}  // namespace tamsel::win32
