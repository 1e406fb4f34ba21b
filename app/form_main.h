#pragma once

// The program's one window: two path boxes with their labels and browse buttons, the start
// button and the credit line, built from the layout table (app/form_layout.h). The window
// only wires its controls to the commands below; dialogs, message boxes and desktop calls
// go through the Desktop it is given, the conversion through the function it is given.

#include <QWidget>

#include <array>
#include <functional>
#include <string>

#include "convert/conversion_run.h"

class ClickLabel;
struct ControlRow;
class Desktop;
class PathBox;
class QLabel;
class QPushButton;
class RectangleShape;

class FormMain : public QWidget {
    Q_OBJECT

  public:
    using Conversion = std::function<tamsel::RunOutcome(const tamsel::RunPaths&)>;

    // Builds the window, fills the path boxes from the default files in
    // `programDirectory` (the folder of the running program) and centres the window on the
    // screen; the focus goes to path box 0 once the window is shown. `conversion` runs the
    // start button's conversion; empty means tamsel::RunConversion on the real files.
    FormMain(Desktop& desktop, const QString& programDirectory, Conversion conversion = {},
             QWidget* parent = nullptr);

    // The program's folder as the conversion takes it: UTF-8, ending in a separator.
    const std::string& appFolder() const { return AppFolder; }

  public slots:
    // Browses for the file of path box `index` (0 link list, 1 menu file); a chosen path
    // replaces the box's text, a cancelled dialog leaves it as it was. Other indexes do
    // nothing.
    void btnOpen_Click(int index);
    // Opens the folder part of path box `index`'s text in the file manager.
    void lblFile_Click(int index);
    // Opens the address the credit line shows as its tooltip.
    void lblCredits_Click();
    // Runs the conversion on the two boxes' paths, shows its message, puts the focus in the
    // box the outcome names and, after a finished run, opens the menu file's folder.
    void btnStart_Click();

  protected:
    // Enter and keypad Enter press the start button, the window's default button, wherever
    // the focus is (an open completion list keeps its Enter); a held Enter presses it once.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    QWidget* createControl(const ControlRow& row);
    void wireControls();
    void orderTabStops();
    void Form_Load(const QString& programDirectory);
    void centreOnScreen();
    bool pressDefaultButton(QKeyEvent* event);

    Desktop& desktop_;
    Conversion conversion_;
    std::string AppFolder;

    std::array<PathBox*, 2> txtFile{};
    std::array<QPushButton*, 2> btnOpen{};
    std::array<ClickLabel*, 2> lblFile{};
    QPushButton* btnStart = nullptr;
    ClickLabel* lblCredits = nullptr;
    QLabel* lblTitle2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Image1 = nullptr;
    RectangleShape* Shape1 = nullptr;
};
