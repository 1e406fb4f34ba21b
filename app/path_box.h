#pragma once

#include <QComboBox>

#include <functional>
#include <utility>

#include "window/edit_state.h"

class CompletionPopup;
class QListView;

// One of the window's two path boxes: an editable combo box whose drop-down list is
// filled by path completion. `index` is 0 for the link list, 1 for the menu file. The box
// forwards its focus and keys to the form logic (window/path_box_keys.h,
// window/path_completion.h) and applies what comes back.
//
// Entering the box (by Tab, Backtab, the mouse, or as the focus of a window shown for the
// first time) selects its whole text; returning to the window keeps the caret as it was.
// Enter and keypad Enter are the window's: the box leaves them to its parent. Every other
// key also gets the combo box's own handling. The text is one line: line breaks that a
// paste or drop brings along are dropped. The mouse wheel never changes the text. Qt's own
// completion stays off. The box keeps its list in a QStringListModel, which a completion
// refills in one step.
class PathBox : public QComboBox {
    Q_OBJECT

  public:
    // Answers for a key's identity (KeyIdentity) whether its release counts.
    using ReleaseGate = std::function<bool(int key)>;

    explicit PathBox(int index, QWidget* parent = nullptr);

    int index() const { return index_; }

    // Asks `gate` on every real release of a key; without a gate every release counts.
    void setReleaseGate(ReleaseGate gate) { releaseGate_ = std::move(gate); }

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
    // The edit field as the form logic reads it: the selection's start (the caret when
    // nothing is selected) and length.
    tamsel::EditState editState() const;
    // Puts a completion's text into the edit field with the caret at the selection's start,
    // so that typing on replaces the selected characters.
    void apply(const tamsel::EditState& edit);
    void selectWholeText();
    void complete(int keyCode, int shift);

    int index_;
    CompletionPopup* popup_;
    ReleaseGate releaseGate_;
    bool selectAfterClick_ = false;
    bool leftWithWindow_ = false;
};
