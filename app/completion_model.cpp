#include "app/completion_model.h"

#include <iterator>
#include <utility>

void CompletionModel::setEntries(const tamsel::CompletionEntries& entries) {
    beginResetModel();
    entries_ = entries;
    folderPart_ = QString::fromStdString(entries_.folderPart);
    endResetModel();
}

int CompletionModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant CompletionModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::DisplayRole && row < entries_.labels.size()) {
        // The list shows the label; the combo box puts the entry (its edit role) into its field.
        return QString::fromStdString(entries_.labels[row]);
    }
    const std::string& name = entries_.names[row];
    return folderPart_ + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

bool CompletionModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return false;
    }
    std::string text = value.toString().toStdString();
    if (!text.starts_with(entries_.folderPart)) {
        // An entry from another folder: every entry keeps its whole path from now on.
        for (std::string& name : entries_.names) {
            name.insert(0, entries_.folderPart);
        }
        entries_.folderPart.clear();
        folderPart_.clear();
    }
    entries_.names[static_cast<std::size_t>(index.row())] = text.substr(entries_.folderPart.size());
    emit dataChanged(index, index, {role});
    return true;
}

bool CompletionModel::insertRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || row > rowCount() || count < 1) {
        return false;
    }
    beginInsertRows(parent, row, row + count - 1);
    entries_.names.insert(std::next(entries_.names.begin(), row), static_cast<std::size_t>(count),
                          std::string());
    if (!entries_.labels.empty()) {
        entries_.labels.insert(std::next(entries_.labels.begin(), row),
                               static_cast<std::size_t>(count), std::string());
    }
    endInsertRows();
    return true;
}

bool CompletionModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count < 1 || row + count > rowCount()) {
        return false;
    }
    beginRemoveRows(parent, row, row + count - 1);
    const auto first = std::next(entries_.names.begin(), row);
    entries_.names.erase(first, std::next(first, count));
    if (!entries_.labels.empty()) {
        const auto label = std::next(entries_.labels.begin(), row);
        entries_.labels.erase(label, std::next(label, count));
    }
    endRemoveRows();
    return true;
}
