#pragma once

#include <QComboBox>

#include "window/form_commands.h"
#include "window/path_box_controller.h"

class CompletionModel;
class CompletionPopup;
class QListView;

// One of the window's two path boxes: an editable combo box, the view of a
// tamsel::PathBoxController, which owns its behaviour. The box forwards its focus, keys
// (through the window's commands, which take the window's keys first) and clicks, and draws
// what comes back. Qt's own completion and list stay off: the list is a CompletionPopup over
// the box's CompletionModel. Enter is the window's; the mouse wheel never changes the text.
class PathBox : public QComboBox, private tamsel::PathBoxView {
    Q_OBJECT

  public:
    // `form` must outlive the box.
    PathBox(tamsel::RunInput input, tamsel::FormCommands& form, QWidget* parent = nullptr);

    tamsel::RunInput input() const { return controller_.Input(); }

    // The combo box's own requests to open and close its list.
    void showPopup() override;
    void hidePopup() override;
    // The completion list: a window of its own that shows this box's model.
    QListView* completionList() const;

  protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    tamsel::EditState Edit() const override;
    void ApplyEdit(const tamsel::EditState& edit) override;
    void SetEntries(const tamsel::CompletionEntries& entries) override;
    void ShowList() override;
    void CloseList() override;
    bool ListOpen() const override;
    int ListRow() const override;
    int VisibleRows() const override;
    void ChooseRow(int row) override;

    tamsel::FormCommands& form_;
    tamsel::PathBoxController controller_;
    CompletionModel* entries_;
    CompletionPopup* popup_;
};
