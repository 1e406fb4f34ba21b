#pragma once

#include <QAbstractListModel>
#include <QComboBox>
#include <QCoreApplication>
#include <QListView>
#include <QString>
#include <QWheelEvent>

#include "window/form_commands.h"
#include "window/path_box_controller.h"
#include "window/path_completion.h"

// A path box's completion entries as a model that makes an entry's text only when a view
// asks for its row, so that 100,000 names cost no more to fill than ten. Labelled entries show
// their labels (display role) and put their entries into the box (edit role).
class CompletionModel : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;

    void setEntries(const tamsel::CompletionEntries& entries);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(entries_.size());
    }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    tamsel::CompletionEntries entries_;
    QString folderPart_;
};

// A path box's drop-down list: a window of its own below its anchor (the box) that never
// takes the focus; a key delivered to it anyway (without a window manager, to the window under
// the pointer) goes on to the box. A press outside the list and its anchor, or the anchor's
// window moving or hiding, closes it; a press on the anchor is the anchor's to handle.
class CompletionPopup : public QListView {
    Q_OBJECT

  public:
    CompletionPopup(QWidget* anchor, QAbstractItemModel* model);

    // Shows the list below the anchor (above it when the screen has no room below), as wide
    // as the anchor, at most `maxRows` rows high, at its top with no entry current; closes
    // an empty list instead.
    void open(int maxRows);

  protected:
    void keyPressEvent(QKeyEvent* event) override { QCoreApplication::sendEvent(anchor_, event); }
    void keyReleaseEvent(QKeyEvent* event) override { QCoreApplication::sendEvent(anchor_, event); }
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* anchor_;
};

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
    void hidePopup() override { CloseList(); }
    QListView* completionList() const { return popup_; }

  protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The combo box would step through its list and replace the text with an entry.
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    tamsel::EditState Edit() const override;
    void ApplyEdit(const tamsel::EditState& edit) override;
    void SetEntries(const tamsel::CompletionEntries& entries) override;
    void ShowList() override { popup_->open(maxVisibleItems()); }
    void CloseList() override { popup_->hide(); }
    bool ListOpen() const override { return popup_->isVisible(); }
    int ListRow() const override { return popup_->currentIndex().row(); }  // -1 for none
    int VisibleRows() const override { return maxVisibleItems(); }
    void ChooseRow(int row) override;

    tamsel::FormCommands& form_;
    tamsel::PathBoxController controller_;
    CompletionModel* entries_;
    CompletionPopup* popup_;
};
