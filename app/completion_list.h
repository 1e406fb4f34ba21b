#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QString>

#include "window/path_completion.h"

// A path box's completion entries as a model that makes an entry's text only when a view
// asks for its row, so that 100,000 names cost no more to fill than ten. Labelled entries show
// their labels (display role) and put their entries into the box (edit role).
class CompletionModel : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;

    // Replaces every entry in one reset.
    void setEntries(const tamsel::CompletionEntries& entries);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
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
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* anchor_;
};
