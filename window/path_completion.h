#pragma once

// Completion of a typed path from the file system, as one function from a box's state on
// the release of a key to its new state and its list's entries.

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

// A completion list's entries in listing order, each the typed folder part and one name:
// the folder part is kept once, so a large folder costs no path per entry, and a window
// makes an entry's text when it draws its row. `labels`, when given, are what the rows show.
struct CompletionEntries {
    std::string folderPart;
    std::vector<std::string> names;
    std::vector<std::string> labels = {};  // empty: each row shows its entry

    std::size_t size() const { return names.size(); }
    bool empty() const { return names.empty(); }
    std::string operator[](std::size_t row) const { return folderPart + names[row]; }
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

// Completes a box's text on the release of `keyCode` into `completion`, reusing its storage.
// False, with `completion` as it was and no listing, unless the key starts a completion,
// the caret stands at the end with nothing selected and the text holds 3 to 249 code units.
// Otherwise the text followed by "*.*" is listed with every file and folder (mask 23),
// skipping "." and ".." at the head; the first entry that begins with the typed text in the
// same letter case completes it, else the first entry, unless the key is the separator key,
// which only lists. Without a match the list is empty and the caret goes to the text's end.
bool AutoComplete(const EditState& box, int keyCode, int shift, Completion& completion,
                  const FolderLister& list = KeepingLister());

// The row a walking key moves an open list to: Up and Down one row, Page Up and Page Down
// `visibleRows` - 1 rows (at least one), held within the list; from no row (-1) every walk
// lands on one. Nothing for another key or an empty list.
std::optional<int> WalkRow(int keyCode, int currentRow, int rows, int visibleRows);

}  // namespace tamsel
