#pragma once

// Completion of a typed path from the file system: a box's state on a key's release to its
// new state and its list's entries.

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
// the folder part is kept once, so a large folder costs no path per entry. `labels`, when
// given, are what the rows show.
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
    CompletionEntries entries;  // the box's new list; empty: emptied and closed
    // The box's new state; the added characters selected, so that typing on replaces them.
    EditState edit;
};

// Completes a box's text on the release of `keyCode` into `completion`, reusing its storage.
// False, with no listing, unless the key starts a completion, the caret stands at the end
// and the text holds 3 to 249 code units. Then the text + "*.*" is listed with every file
// and folder (mask 23), skipping "." and ".." at the head; the first entry that begins with
// the typed text in the same case completes it, else the first entry, unless the key is the
// separator, which only lists. Without a match the caret goes to the text's end.
bool AutoComplete(const EditState& box, int keyCode, int shift, Completion& completion,
                  const FolderLister& list = KeepingLister());

// The row a walking key moves an open list to: Up and Down one row, Page Up and Page Down
// `visibleRows` - 1 (at least one), within the list; from no row (-1) every walk lands on
// one. Nothing for another key or an empty list.
std::optional<int> WalkRow(int keyCode, int currentRow, int rows, int visibleRows);

}  // namespace tamsel
