#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QString>

#include "window/path_completion.h"

// The entries of a path box's completion list as a model: an entry's text is made when a
// view asks for its row, so that a list of 100,000 names costs no more to fill than one of
// ten; a view with uniform row sizes asks only for the rows it shows. The combo box's own
// item calls (addItem, setItemText, clear) work on it too. Entries with labels show their
// labels (the display role) and put their entries into the box (the edit role).
class CompletionModel : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;

    // Replaces every entry in one reset.
    void setEntries(const tamsel::CompletionEntries& entries);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

  private:
    tamsel::CompletionEntries entries_;
    QString folderPart_;
};

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
    QWidget* anchor_;
};
