#pragma once

// The program's one window, built from the layout table (window/form_layout.h). It only
// draws its controls and forwards their events to the form's commands
// (window/form_commands.h), which reach the desktop through the services they are given.

#include <QComboBox>
#include <QDropEvent>
#include <QWidget>

#include <array>

#include "app/qt_run_view.h"
#include "window/form_commands.h"
#include "window/form_layout.h"

class ClickLabel;
class PathBox;
class QPushButton;

class FormMain : public QWidget, private tamsel::FormView {
    Q_OBJECT

  public:
    using Conversion = tamsel::FormCommands::Conversion;

    // Builds the window centred on the screen, the path boxes filled from the default files in
    // `programFolder` (empty: the running program's own), the focus in path box 0.
    // `conversion` runs the start button's conversion; empty means tamsel::RunConversion.
    explicit FormMain(tamsel::DesktopServices& desktop, const std::string& programFolder = {},
                      Conversion conversion = {});
    ~FormMain() override;

    tamsel::FormCommands& commands() { return commands_; }

    // Moves the window `steps` title bar heights down and right of its screen's centre, so
    // that a second window does not hide the first; starts over where it would leave the screen.
    void cascade(int steps);

  protected:
    // Keys go to FormCommands::KeyDown (Enter presses Start wherever the focus is). Keys to
    // the form's dialogs pass ModalKeyDown and ModalKeyUp first, so that a dialog answers only
    // keys pressed while it shows: a held Enter never closes the box it brought.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The form takes every drop (a path box's edit field would insert a file's address as
    // text) and names the box under the pointer; a refused drag is ignored while it moves, so
    // that the cursor shows the refusal.
    void dragEnterEvent(QDragEnterEvent* event) override { dragMoveEvent(event); }
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    std::string BoxText(tamsel::RunInput box) const override;
    void SetBoxText(tamsel::RunInput box, const std::string& text) override;
    void FocusBox(tamsel::RunInput box) override;
    void CloseWindow() override { close(); }
    void SetFolderRows(const std::vector<std::string>& rows, int chosen) override;
    int ChosenFolderRow() const override { return cboFolder->currentIndex(); }
    void EnableFolderRow(bool enabled) override { cboFolder->setEnabled(enabled); }

    void buildControls();
    QWidget* createControl(const tamsel::ControlRow& row);
    void wireControls();

    QtRunView runView_{this};  // before the commands: a run going ends before it goes
    tamsel::FormCommands commands_;
    std::array<PathBox*, tamsel::kPathBoxCount> txtFile{};
    std::array<QPushButton*, tamsel::kPathBoxCount> btnOpen{};
    QComboBox* cboFolder = nullptr;
    QPushButton* btnStart = nullptr;
    ClickLabel* lblCredits = nullptr;
};
