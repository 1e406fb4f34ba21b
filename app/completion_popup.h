#pragma once

#include <QListView>

class QComboBox;

// The drop-down list of a path box: a top-level popup below the box that shows the box's
// own model and never takes the keyboard focus. Keys typed while it is open go on to the
// box, so typing continues in the edit field; only these keys are its own: Esc and Enter
// close it and nothing else sees them; Up, Down, Page Up and Page Down walk the entries and
// put the current one into the box; Tab closes it and then reaches the box. Clicking an
// entry puts it into the box and closes the list; clicking elsewhere closes it. The entries
// are drawn in the box's font.
class CompletionPopup : public QListView {
    Q_OBJECT

  public:
    explicit CompletionPopup(QComboBox* box);

    // Shows the list below the box (above it when the screen has no room below), as wide as
    // the box and at most the box's maxVisibleItems() rows high, scrolled to its top with no
    // entry current. An empty list is closed instead.
    void open();

  protected:
    bool event(QEvent* event) override;

  private:
    bool keyPress(QKeyEvent* event);
    void walk(int keyCode);
    void choose(const QModelIndex& index);
    bool pressOutside(QMouseEvent* event);

    QComboBox* box_;
};
