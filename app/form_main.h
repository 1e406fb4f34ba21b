#pragma once

// The program's one window: two path boxes with their labels and browse buttons, the Folder
// row, the start button and the credit line, built from the layout table (window/form_layout.h).
// The window only draws its controls and forwards their events to the form's commands
// (window/form_commands.h), which reach the desktop through the services they are given.

#include <QWidget>

#include <array>
#include <optional>

#include "app/qt_run_view.h"
#include "window/form_commands.h"
#include "window/form_layout.h"

class ClickLabel;
class PathBox;
class QComboBox;
class QPushButton;
class QWindow;

class FormMain : public QWidget, private tamsel::FormView {
    Q_OBJECT

  public:
    using Conversion = tamsel::FormCommands::Conversion;

    // Builds the window, fills the path boxes from the default files in `programFolder`
    // (empty: the running program's own) and centres the window on the screen; the focus
    // goes to path box 0 once the window is shown. `conversion` runs the start button's
    // conversion; empty means tamsel::RunConversion on the real files.
    explicit FormMain(tamsel::DesktopServices& desktop, const std::string& programFolder = {},
                      Conversion conversion = {}, QWidget* parent = nullptr);
    ~FormMain() override;

    tamsel::FormCommands& commands() { return commands_; }

    // Moves the window `steps` title bar heights down and right of its screen's centre, so
    // that a second window does not hide the first; starts over where it would leave the screen.
    void cascade(int steps);

  protected:
    // Keys go to FormCommands::KeyDown, which presses Start on Enter wherever the focus is;
    // the path boxes hand on their own keys. Keys to the form's dialogs (message boxes, the
    // open-file and progress dialogs) pass ModalKeyDown and ModalKeyUp first, so that a dialog
    // answers only keys pressed while it shows: a held Enter never closes the box it brought.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing while a run goes waits for the run to stop (FormCommands::CloseRequested).
    void closeEvent(QCloseEvent* event) override;
    // The form takes every drop (a path box's edit field would insert a file's address as
    // text), names the box under the pointer and leaves the rest to FormCommands::FilesDropped;
    // a refused drag is ignored while it moves, so that the cursor shows the refusal.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    std::string BoxText(tamsel::RunInput box) const override;
    void SetBoxText(tamsel::RunInput box, const std::string& text) override;
    void FocusBox(tamsel::RunInput box) override;
    void CloseWindow() override;
    void SetFolderRows(const std::vector<std::string>& rows, int chosen) override;
    int ChosenFolderRow() const override;
    void EnableFolderRow(bool enabled) override;

    void buildControls();
    QWidget* createControl(const tamsel::ControlRow& row);
    void wireControls();
    void orderTabStops();
    // Returns the screen's available area; empty without a screen.
    QRect centreOnScreen();
    bool ownsDialog(const QWindow* window) const;
    std::optional<tamsel::RunInput> boxUnder(const QDropEvent& event) const;

    QtRunView runView_{this};  // before the commands: a run going ends before it goes
    tamsel::FormCommands commands_;
    std::array<PathBox*, tamsel::kPathBoxCount> txtFile{};
    std::array<QPushButton*, tamsel::kPathBoxCount> btnOpen{};
    std::array<ClickLabel*, tamsel::kPathBoxCount> lblFile{};
    QComboBox* cboFolder = nullptr;
    QPushButton* btnStart = nullptr;
    ClickLabel* lblCredits = nullptr;
};
