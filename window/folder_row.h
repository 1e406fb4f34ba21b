#pragma once

// The Folder row: a drop-down list of the folders of the list box 0 names, "All bookmarks"
// first, from which a run takes the one folder it converts. It is filled when box 0 comes to
// name a list, never while a key is typed, and it is disabled for a list without folders and
// while a run goes.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/list_folders.h"
#include "support/file_system.h"

namespace tamsel {

// What the row needs of the drop-down list a window draws.
class FolderRowView {
  public:
    virtual ~FolderRowView() = default;

    // Replaces the list's rows with `rows` and shows row `chosen`.
    virtual void SetFolderRows(const std::vector<std::string>& rows, int chosen) = 0;
    // The row the list shows now; 0 is "All bookmarks".
    virtual int ChosenFolderRow() const = 0;
    virtual void EnableFolderRow(bool enabled) = 0;
};

// The folders of the list at a path, in list order (ReadListFolders).
using FolderReader = std::function<std::vector<ListFolder>(const std::string& listPath)>;

// The first row: the whole list.
inline constexpr std::string_view kAllBookmarks = "All bookmarks";

// A folder's row: its name, indented four blanks for each level below the top, then the
// number of its links in parentheses, e.g. "    News (12)".
std::string FolderRowText(const ListFolder& folder);

class FolderRow {
  public:
    // `read` lists a list's folders; empty means ReadListFolders on `files`. The view and
    // `files` must outlive the row.
    FolderRow(FolderRowView& view, FileSystem& files, FolderReader read = {});

    // Box 0 came to name `listPath`. The list is read, unless `onlyWhenChanged` and the row
    // shows the folders of that very path already. A folder chosen before stays chosen when
    // the list has it (by its path), else the row shows "All bookmarks".
    void ListNamed(const std::string& listPath, bool onlyWhenChanged = false);

    // The folder a run converts: the one chosen (ListFolder::path), empty for the whole
    // list. A run of a list typed into box 0 and started at once gets it too, without the
    // list being read here first: a list that lacks it is reported by the run rather than
    // converted whole.
    std::string ChosenFolder() const;

    // A run began (true) or ended: the row takes no choice while one goes.
    void SetBusy(bool busy);

  private:
    void Show(const std::string& keep);

    FolderRowView& view_;
    FolderReader read_;
    std::optional<std::string> listed_;  // the path whose folders the row shows
    std::vector<ListFolder> folders_;
    bool busy_ = false;
};

}  // namespace tamsel
