#include "window/path_box_keys.h"

#include "window/path_completion.h"
#include "window/virtual_keys.h"

namespace tamsel {

EditState txtFile_GotFocus(const EditState& box) {
    return WholeTextSelected(box.text);
}

namespace {

bool IsCompletionTail(const EditState& box) {
    return box.selLength > 0 && box.selStart > 0 &&
           box.selStart + box.selLength == Utf16Length(box.text);
}

}  // namespace

BoxAction txtFile_KeyDown(int keyCode, int /*shift*/, const EditState& box) {
    if (keyCode == vk::kF2) {
        return BoxAction::Browse;
    }
    if (keyCode == vk::kBackslash && IsCompletionTail(box)) {
        return BoxAction::CaretToEnd;
    }
    return BoxAction::Nothing;
}

BoxAction txtFile_KeyUp(int keyCode, int shift) {
    return StartsCompletion(keyCode, shift) ? BoxAction::Complete : BoxAction::Nothing;
}

ListKeyAction CompletionListKey(int keyCode, int shift) {
    switch (keyCode) {
        case vk::kEscape:
        case vk::kEnter:
            return ListKeyAction::Close;
        case vk::kTab:
            return ListKeyAction::CloseAndForward;
        case vk::kUp:
        case vk::kDown:
        case vk::kPageUp:
        case vk::kPageDown:
            return shift == 0 ? ListKeyAction::Walk : ListKeyAction::Forward;
        default:
            return ListKeyAction::Forward;
    }
}

WindowKeyAction WindowKeyDown(int keyCode, int shift, bool autoRepeat) {
    if (keyCode == vk::kEnter && shift == 0) {
        return autoRepeat ? WindowKeyAction::Ignore : WindowKeyAction::PressStart;
    }
    if (keyCode == vk::kEscape && (shift & vk::kAltHeld) == 0) {
        return WindowKeyAction::Ignore;
    }
    return WindowKeyAction::Pass;
}

}  // namespace tamsel
