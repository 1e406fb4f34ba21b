#pragma once

#include <QListView>

// The drop-down list of a path box: a window of its own below its anchor (the box) that
// shows a model and never activates nor takes the keyboard focus, so that every key keeps
// going to the box; a key that the system delivers to the list anyway (without a window
// manager, to the window under the pointer) is handed on to the box. A press outside the
// list and its anchor, or the anchor's window moving or hiding, closes it; a press on the
// anchor itself is the anchor's to handle. Entries are drawn in the anchor's font, long ones
// elided at their left.
class CompletionPopup : public QListView {
    Q_OBJECT

  public:
    CompletionPopup(QWidget* anchor, QAbstractItemModel* model);

    // Shows the list below the anchor (above it when the screen has no room below), as
    // wide as the anchor and at most `maxRows` rows high, scrolled to its top with no
    // entry current. An empty list is closed instead.
    void open(int maxRows);
    // Makes `row` current and scrolls it into view.
    void setCurrentRow(int row);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool inside(const QObject* object) const;

    QWidget* anchor_;
};
