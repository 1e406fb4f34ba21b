#pragma once

// What a path box's controller needs of the box a window draws: edit field and list.

#include "window/edit_state.h"
#include "window/path_completion.h"

namespace tamsel {

class PathBoxView {
  public:
    virtual ~PathBoxView() = default;

    virtual EditState Edit() const = 0;
    virtual void ApplyEdit(const EditState& edit) = 0;

    // Replaces the list's entries at once. A large folder's every name may come: a view
    // copies them into its last copy's storage and makes the text only of rows it draws.
    virtual void SetEntries(const CompletionEntries& entries) = 0;
    // Opens the list below the box at its top, no row current, the focus staying in the
    // edit field. An empty list stays closed.
    virtual void ShowList() = 0;
    virtual void CloseList() = 0;  // its entries stay
    virtual bool ListOpen() const = 0;

    // The open list's current row (-1 for none) and how many rows it shows at once.
    virtual int ListRow() const = 0;
    virtual int VisibleRows() const = 0;
    // Makes `row` current and shows its entry in the edit field, as combo boxes do.
    virtual void ChooseRow(int row) = 0;
};

}  // namespace tamsel
