#pragma once

// Completion of a typed path from the file system, as one function from the box's state
// to its new state: a window reads its edit field, calls AutoComplete on the release of a
// key, fills its drop-down list with the entries, opens it when there are any (closes it
// otherwise) and puts the new text and selection into the edit field.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "window/edit_state.h"
#include "window/folder_listings.h"

namespace tamsel {

// Whether the release of a key starts a completion: the period and separator keys, the
// letters A to Z whatever modifiers are held, the main row's digits only with none held.
bool StartsCompletion(int keyCode, int shift);

// The entries of a completion list, in listing order: each is the typed folder part followed
// by one name of the listing. The folder part is kept once, so that listing a large folder
// costs no path per entry; a window makes an entry's text when it draws its row.
// A list may show its rows in other words than the entries it puts into the box: then
// `labels` holds one text per entry.
struct CompletionEntries {
    std::string folderPart;
    std::vector<std::string> names;
    std::vector<std::string> labels = {};  // empty: each row shows its entry

    std::size_t size() const { return names.size(); }
    bool empty() const { return names.empty(); }
    std::string operator[](std::size_t row) const { return folderPart + names[row]; }
    // What the list shows in `row`.
    std::string Label(std::size_t row) const {
        return row < labels.size() ? labels[row] : (*this)[row];
    }
};

struct Completion {
    // The box's new list: every matching entry. Empty: the list is emptied and closed.
    CompletionEntries entries;
    // The box's new text, caret and selection. A completed text has the added characters
    // selected with the caret behind the typed part, so that typing on replaces them.
    EditState edit;
};

// Completes the text of a box on the release of `keyCode` with modifier state `shift`, into
// `completion`, whose storage the last completion left is reused. False, `completion` as it
// was and no listing, unless the key starts a completion, the caret stands at the end
// of the text with nothing selected, and the text holds 3 to 249 code units. Otherwise the
// text followed by "*.*" is listed with every file and folder (mask 23); "." and ".." at
// the head of the listing are skipped; the first entry that begins with the typed text in
// the same letter case completes it, else the first entry (which matches in another case),
// unless the key is the separator key, which only lists the folder. Without a match the list is
// empty and the text stays as typed with the caret at its end.
bool AutoComplete(const EditState& box, int keyCode, int shift, Completion& completion,
                  const FolderLister& list = KeepingLister());

// The row of an open list that a walking key moves to: Up and Down one row, Page Up and
// Page Down `visibleRows` - 1 rows (at least one), held within the list; from no current
// row (-1) every walk lands on a row. Nothing for another key or an empty list.
std::optional<int> WalkRow(int keyCode, int currentRow, int rows, int visibleRows);

}  // namespace tamsel
