#include "window/form_commands.h"

#include <algorithm>
#include <utility>

#include "support/known_folders.h"
#include "support/path.h"
#include "window/path_boxes.h"

namespace tamsel {

namespace {

// The window's run view, with the Folder row locked and unlocked around its controls.
class LockingRunView final : public RunView {
  public:
    LockingRunView(RunView& window, FolderRow& row) : window_(window), row_(row) {}
    // The window notes the focused control before it locks and gives the focus back after
    // it unlocks: the row is locked after the window's controls and unlocked before them.
    void SetBusy(bool busy) override {
        if (busy) {
            window_.SetBusy(true);
            row_.SetBusy(true);
        } else {
            row_.SetBusy(false);
            window_.SetBusy(false);
        }
    }
    void ShowProgress(const RunProgress& progress) override { window_.ShowProgress(progress); }
    void CloseProgress() override { window_.CloseProgress(); }

  private:
    RunView& window_;
    FolderRow& row_;
};

bool KeptInUrl(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::string_view("-._~/:!$&'()*+,;=@").find(c) != std::string_view::npos;
}

}  // namespace

std::string FileUrl(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    if (!path.starts_with('/') && !path.starts_with('\\')) {
        url += '/';  // a drive letter: file:///C:/...
    }
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            url += '/';
        } else if (KeptInUrl(c)) {
            url += c;
        } else {
            url += {'%', kHex[byte >> 4], kHex[byte & 0x0F]};
        }
    }
    return url;
}

std::string CreditAddress(std::string_view homepage, std::string_view appFolder) {
    return homepage.empty() ? FileUrl(std::string(appFolder) + "README.md") : std::string(homepage);
}

FormCommands::FormCommands(FormView& view, DesktopServices& desktop, FileSystem& files,
                           Conversion conversion, FolderReader readFolders)
    : view_(view),
      desktop_(desktop),
      files_(files),
      folderRow_(view, files, std::move(readFolders)) {
    if (conversion) {
        conversion_ = [conversion = std::move(conversion)](const RunPaths& paths, RunObserver&) {
            return conversion(paths);
        };
    } else {
        conversion_ = [&files](const RunPaths& paths, RunObserver& observer) {
            return RunConversion(paths, files, kMenuLockWait, &observer);
        };
    }
}

void FormCommands::RunInBackground(RunView& runView, WindowThread& thread) {
    runView_ = std::make_unique<LockingRunView>(runView, folderRow_);
    runs_ = std::make_unique<RunController>(*runView_, thread);
}

void FormCommands::FillBox(RunInput box, const std::string& path) {
    view_.SetBoxText(box, path);
    if (box == RunInput::List) {
        folderRow_.ListNamed(path);
    }
}

void FormCommands::ListBoxText(const PathBoxController& box, bool onlyWhenChanged) {
    if (box.Input() == RunInput::List) {
        folderRow_.ListNamed(view_.BoxText(RunInput::List), onlyWhenChanged);
    }
}

void FormCommands::Form_Load(std::string_view programFolder, std::string_view homepage) {
    appFolder_ = WithNativeSeparatorAtEnd(programFolder.empty() ? ProgramFolder()
                                                                : std::string(programFolder));
    creditAddress_ = tamsel::CreditAddress(homepage, appFolder_);
    for (const PathBoxRow& box : PathBoxes()) {
        std::string file = box.defaultFile;
        std::ranges::replace(file, '/', kNativeSeparator);
        const std::string path = appFolder_ + file;
        if (files_.FileExists(path)) {
            view_.SetBoxText(box.input, path);
        }
    }
    folderRow_.ListNamed(view_.BoxText(RunInput::List));
}

void FormCommands::btnStart_Click() {
    RunPaths paths;
    for (const PathBoxRow& box : PathBoxes()) {
        paths.*box.feeds = view_.BoxText(box.input);
    }
    paths.appFolder = appFolder_;
    paths.folder = folderRow_.ChosenFolder();
    if (runs_ && runs_->Running()) {
        return;
    }
    ownWindows_ = true;
    if (runs_) {
        runs_->Start(paths, conversion_, [this](const RunOutcome& outcome) { RunEnded(outcome); });
        return;
    }
    RunObserver unobserved;
    ShowOutcome(conversion_(paths, unobserved));
}

bool FormCommands::CloseRequested() {
    if (!runs_ || !runs_->Running()) {
        return true;
    }
    closing_ = true;
    runs_->Cancel();
    return false;
}

void FormCommands::RunEnded(const RunOutcome& outcome) {
    if (closing_) {
        view_.CloseWindow();
    } else {
        ShowOutcome(outcome);
    }
}

void FormCommands::AfterModal() {
    pressedKeys_.clear();
    modalKeys_.clear();
    ownWindows_ = false;
}

void FormCommands::ShowOutcome(const RunOutcome& outcome) {
    desktop_.ShowMessage(outcome.message, outcome.icon);
    AfterModal();
    if (const std::optional<RunInput> focus = outcome.focusBox) {
        view_.FocusBox(*focus);
    }
    if (outcome.status == RunStatus::Done) {
        desktop_.OpenFolder(outcome.folderToOpen);
    }
}

void FormCommands::btnOpen_Click(RunInput input) {
    const PathBoxRow& box = PathBoxOf(input);
    const OpenDialogRequest request{box.dialogTitle, box.filter, ParseBarFilter(box.filter),
                                    view_.BoxText(input)};
    ownWindows_ = true;
    const std::string chosen = TrimAtNull(desktop_.ShowOpenDialog(request));
    AfterModal();
    if (!chosen.empty()) {
        FillBox(input, chosen);
    }
}

void FormCommands::lblFile_Click(RunInput input) {
    desktop_.OpenFolder(ExtractPath(view_.BoxText(input)));
}

void FormCommands::lblCredits_Click() {
    desktop_.OpenAddress(creditAddress_);
}

bool FormCommands::FilesDropped(std::span<const DroppedItem> items, std::optional<RunInput> under) {
    const DropDecision drop = DecideDrop(items, under);
    if (drop.box) {
        FillBox(*drop.box, drop.path);
    }
    return drop.box.has_value();
}

bool FormCommands::KeyDown(const KeyEvent& key, PathBoxController* box) {
    pressedKeys_.insert(key.identity);
    if (box && box->ListKeyDown(key.code, key.shift)) {
        if (!box->ListOpen()) {
            ListBoxText(*box);
        }
        return true;
    }
    const bool repeat = !repeats_.Pressed(key.code, key.time, key.autoRepeat);
    switch (WindowKeyDown(key.code, key.shift, repeat)) {
        case WindowKeyAction::PressStart:
            btnStart_Click();
            return true;
        case WindowKeyAction::Ignore:
            return true;
        case WindowKeyAction::Pass:
            break;
    }
    if (box && box->KeyDown(key.code, key.shift)) {
        btnOpen_Click(box->Input());
        return true;
    }
    return false;
}

void FormCommands::KeyUp(const KeyEvent& key, PathBoxController* box) {
    repeats_.Released(key.code, key.time);
    // Only a key pressed since the last modal box counts: not one that dismissed it.
    if (box && !key.autoRepeat && pressedKeys_.erase(key.identity) > 0) {
        box->KeyUp(key.code, key.shift);
    }
}

void FormCommands::RowClicked(PathBoxController& box, int row) {
    box.RowClicked(row);
    if (!box.ListOpen()) {
        ListBoxText(box);
    }
}

void FormCommands::BoxFocusOut(PathBoxController& box, FocusReason reason) {
    // Left for a window of ours: as if the focus had moved within the window.
    box.FocusOut(reason == FocusReason::Window && ownWindows_ ? FocusReason::Other : reason);
    // A popup of the box's own keeps the box what it was.
    if (reason != FocusReason::Popup) {
        ListBoxText(box, true);
    }
}

bool FormCommands::ModalKeyDown(const KeyEvent& key) {
    if (!repeats_.Pressed(key.code, key.time, key.autoRepeat)) {
        return false;
    }
    modalKeys_.insert(key.identity);
    return true;
}

bool FormCommands::ModalKeyUp(const KeyEvent& key) {
    repeats_.Released(key.code, key.time);
    const bool answered = modalKeys_.contains(key.identity);
    if (!key.autoRepeat) {
        modalKeys_.erase(key.identity);
    }
    return answered;
}

}  // namespace tamsel
