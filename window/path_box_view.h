#pragma once

// What a path box's controller needs of the box a window draws: its edit field and its
// drop-down list.

#include "window/edit_state.h"
#include "window/path_completion.h"

namespace tamsel {

class PathBoxView {
  public:
    virtual ~PathBoxView() = default;

    // The edit field's text, caret and selection, read and written.
    virtual EditState Edit() const = 0;
    virtual void ApplyEdit(const EditState& edit) = 0;

    // Replaces the list's entries at once, drawing nothing in between. A large folder's
    // every name may come: a view copies them into its last copy (reusing its storage) and
    // makes the text of the rows it draws only.
    virtual void SetEntries(const CompletionEntries& entries) = 0;
    // Opens the list below the box, scrolled to its top with no current row, while the
    // keyboard focus stays in the edit field. An empty list stays closed.
    virtual void ShowList() = 0;
    // Closes the list; its entries stay.
    virtual void CloseList() = 0;
    virtual bool ListOpen() const = 0;

    // The open list's current row (-1 for none) and how many rows it shows at once.
    virtual int ListRow() const = 0;
    virtual int VisibleRows() const = 0;
    // Makes `row` current and shows its entry in the edit field, as combo boxes do.
    virtual void ChooseRow(int row) = 0;
};

}  // namespace tamsel
