#pragma once

// The Folder row: the folders of the list box 0 names, "All bookmarks" first, the folder a
// run converts. Filled when box 0 comes to name a list, never while a key is typed;
// disabled for a list without folders and during a run.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/list_folders.h"
#include "support/file_system.h"

namespace tamsel {

class FolderRowView {
  public:
    virtual ~FolderRowView() = default;

    // Replaces the rows and shows row `chosen`.
    virtual void SetFolderRows(const std::vector<std::string>& rows, int chosen) = 0;
    // The row the list shows now; 0 is "All bookmarks".
    virtual int ChosenFolderRow() const = 0;
    virtual void EnableFolderRow(bool enabled) = 0;
};

// The folders of the list at a path, in list order, as ReadListFolders gives them.
using FolderReader = std::function<std::vector<ListFolder>(const std::string& listPath)>;

class FolderRow {
  public:
    // Empty `read` means ReadListFolders on `files`. The references must outlive the row.
    FolderRow(FolderRowView& view, FileSystem& files, FolderReader read = {});

    // Box 0 came to name `listPath`: the list is read, unless `onlyWhenChanged` and the row
    // shows its folders already. A folder chosen before stays chosen when the list has it.
    void ListNamed(const std::string& listPath, bool onlyWhenChanged = false);

    // The folder a run converts (ListFolder::path), empty for the whole list. A list typed
    // and run at once gets it too: a list that lacks it is reported, not converted whole.
    std::string ChosenFolder() const;

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
