#pragma once

#include <QAbstractListModel>
#include <QString>

#include "window/path_completion.h"

// The entries of a path box's completion list as a model: an entry's text is made when a
// view asks for its row, so that a list of 100,000 names costs no more to fill than one of
// ten; a view with uniform row sizes asks only for the rows it shows. The combo box's own
// item calls (addItem, setItemText, clear) work on it too. Entries with labels show their
// labels (the display role) and put their entries into the box (the edit role).
class CompletionModel : public QAbstractListModel {
    Q_OBJECT

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
