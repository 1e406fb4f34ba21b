#include "window/folder_row.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace tamsel {

namespace {

// A folder's name indented four blanks a level below the top, then its links: "    News (12)".
std::string FolderRowText(const ListFolder& folder) {
    std::string text(static_cast<std::size_t>(std::max(folder.depth, 0)) * 4, ' ');
    text += folder.name;
    text += " (" + std::to_string(folder.links) + ")";
    return text;
}

}  // namespace

FolderRow::FolderRow(FolderRowView& view, FileSystem& files, FolderReader read)
    : view_(view), read_(std::move(read)) {
    if (!read_) {
        read_ = [&files](const std::string& listPath) { return ReadListFolders(listPath, files); };
    }
}

void FolderRow::ListNamed(const std::string& listPath, bool onlyWhenChanged) {
    if (onlyWhenChanged && listed_ == listPath) {
        return;
    }
    const std::string keep = ChosenFolder();
    listed_ = listPath;
    // An empty box names no list; its reader is not asked to open one.
    folders_ = listPath.empty() ? std::vector<ListFolder>{} : read_(listPath);
    Show(keep);
}

void FolderRow::SetBusy(bool busy) {
    busy_ = busy;
    view_.EnableFolderRow(!busy_ && !folders_.empty());
}

std::string FolderRow::ChosenFolder() const {
    const int row = view_.ChosenFolderRow();
    if (row < 1 || static_cast<std::size_t>(row) > folders_.size()) {
        return {};
    }
    return folders_[static_cast<std::size_t>(row) - 1].path;
}

void FolderRow::Show(const std::string& keep) {
    std::vector<std::string> rows{"All bookmarks"};
    int chosen = 0;
    for (const ListFolder& folder : folders_) {
        if (chosen == 0 && !keep.empty() && folder.path == keep) {
            chosen = static_cast<int>(rows.size());
        }
        rows.push_back(FolderRowText(folder));
    }
    view_.SetFolderRows(rows, chosen);
    view_.EnableFolderRow(!busy_ && !folders_.empty());
}

}  // namespace tamsel
