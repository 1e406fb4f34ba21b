#include "window/path_box_controller.h"

#include <optional>
#include <utility>

#include "convert/browser_stores.h"
#include "window/virtual_keys.h"

namespace tamsel {

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

CompletionEntries StoreChoices(const UserFolders& folders, FileSystem& files) {
    CompletionEntries choices;
    for (const BrowserStore& store : FindBrowserStores(folders, files)) {
        choices.names.push_back(store.path);
        choices.labels.push_back(StoreChoiceText(store));
    }
    return choices;
}

PathBoxController::PathBoxController(PathBoxView& view, RunInput input, FolderLister list,
                                     UserFoldersSource userFolders)
    : view_(view), input_(input), list_(std::move(list)), userFolders_(std::move(userFolders)) {}

void PathBoxController::FocusIn(FocusReason reason) {
    const bool returning =
        reason == FocusReason::Popup || (reason == FocusReason::Window && leftWithWindow_);
    leftWithWindow_ = false;
    if (returning) {
        return;
    }
    view_.ApplyEdit(WholeTextSelected(view_.Edit().text));
    selectAfterClick_ = reason == FocusReason::Mouse;
}

void PathBoxController::FocusOut(FocusReason reason) {
    leftWithWindow_ = reason == FocusReason::Window;
    if (reason == FocusReason::Popup) {
        return;
    }
    selectAfterClick_ = false;
    if (view_.ListOpen()) {
        view_.CloseList();
    }
}

void PathBoxController::ClickEnded() {
    if (std::exchange(selectAfterClick_, false)) {
        view_.ApplyEdit(WholeTextSelected(view_.Edit().text));
    }
}

bool PathBoxController::ClaimsKey(int keyCode, int shift) const {
    const ListKeyAction action = CompletionListKey(keyCode, shift);
    return view_.ListOpen() && (action == ListKeyAction::Close || action == ListKeyAction::Walk);
}

bool PathBoxController::ListKeyDown(int keyCode, int shift) {
    const ListKeyAction action = CompletionListKey(keyCode, shift);
    if (!view_.ListOpen() || action == ListKeyAction::Forward) {
        return false;
    }
    if (action != ListKeyAction::Walk) {
        view_.CloseList();
    } else if (const std::optional<int> row =
                   WalkRow(keyCode, view_.ListRow(), static_cast<int>(completion_.entries.size()),
                           view_.VisibleRows())) {
        view_.ChooseRow(*row);
    }
    return action != ListKeyAction::CloseAndForward;
}

bool PathBoxController::KeyDown(int keyCode, int shift) {
    const EditState box = view_.Edit();
    const BoxAction action = txtFile_KeyDown(keyCode, shift, box);
    if (action == BoxAction::CaretToEnd) {
        view_.ApplyEdit(CaretAtEnd(box.text));
    }
    return action == BoxAction::Browse;
}

void PathBoxController::KeyUp(int keyCode, int shift) {
    // AutoComplete itself tells the keys that start a completion.
    if (!AutoComplete(view_.Edit(), keyCode, shift, completion_, list_)) {
        return;
    }
    view_.SetEntries(completion_.entries);
    if (!completion_.entries.empty()) {
        view_.ShowList();
    } else if (view_.ListOpen()) {
        view_.CloseList();
    }
    view_.ApplyEdit(completion_.edit);
}

void PathBoxController::ArrowPressed() {
    selectAfterClick_ = false;
    if (view_.ListOpen()) {
        view_.CloseList();
        return;
    }
    if (input_ == RunInput::List && userFolders_ && view_.Edit().text.empty()) {
        // Looked for at each opening: a browser installed meanwhile shows up. The stores
        // stand in for the last completion, so that walking and clicking treat them alike.
        completion_.entries = StoreChoices(userFolders_());
        view_.SetEntries(completion_.entries);
    }
    view_.ShowList();
}

void PathBoxController::RowClicked(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= completion_.entries.size()) {
        return;
    }
    view_.ChooseRow(row);
    view_.CloseList();
}

}  // namespace tamsel
