#pragma once

#include <QComboBox>
#include <QSet>

class CompletionPopup;
class QListView;

// One of the window's two path boxes: an editable combo box whose drop-down list is
// filled by path completion. `index` is 0 for the link list, 1 for the menu file.
//
// Entering the box (by Tab, Backtab, the mouse, or as the focus of a window shown for the
// first time) selects its whole text; returning to the window keeps the caret as it was. F2
// asks for the box's open-file dialog. Enter and keypad Enter are the window's: the box
// leaves them to its parent. Releasing a letter, a main-row digit (without modifiers), the
// period or the separator key ("\", and "/" on POSIX) with the caret at the end completes
// the typed path from the file system and lists every matching entry (see AutoComplete);
// pressing the separator key over a selected completion tail first accepts it. Every other
// key also gets the combo box's own handling. A release whose press the box did not see
// (the key that closed a message box, say) is ignored. The text is one line: line breaks
// that a paste or drop brings along are dropped. The mouse wheel never changes the text.
// Qt's own completion stays off. The box keeps its list in a QStringListModel, which a
// completion refills in one step.
class PathBox : public QComboBox {
    Q_OBJECT

  public:
    explicit PathBox(int index, QWidget* parent = nullptr);

    int index() const { return index_; }

    // Opens the completion list below the box while the keyboard focus stays in the edit
    // field, so that typing goes on there. An empty list is closed instead.
    void showPopup() override;
    // Closes the completion list.
    void hidePopup() override;
    // The completion list: a popup window that shows this box's model.
    QListView* completionList() const;

  signals:
    // F2 pressed in the box: show the box's open-file dialog.
    void browseRequested(int index);

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void txtFile_GotFocus();
    void txtFile_KeyDown(int keyCode, int shift);
    void txtFile_KeyUp(int keyCode, int shift);

    int index_;
    CompletionPopup* popup_;
    // Keys pressed in the box and not yet released, by scan code where the platform gives
    // one (the press and release of a key can carry different Qt keys when a modifier is
    // let go first).
    QSet<quint32> pressedKeys_;
    bool selectAfterClick_ = false;
    bool leftWithWindow_ = false;
};
