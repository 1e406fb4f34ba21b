#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "window/path_box_controller.h"

namespace tamsel {

// An edit state as a test failure shows it: the text, the caret, how much is selected.
inline void PrintTo(const EditState& edit, std::ostream* out) {
    *out << '"' << edit.text << "\" at " << edit.selStart << " +" << edit.selLength;
}

}  // namespace tamsel

namespace tamsel::test {

// An edit field and its list in memory. Like a real field it inserts a typed character in
// place of the selection; its list's current row is reset when the list is refilled.
class FakeBox : public PathBoxView {
  public:
    EditState edit;
    std::vector<std::string> entries{"marker"};
    bool open = false;
    int row = -1;

    EditState Edit() const override { return edit; }
    void ApplyEdit(const EditState& state) override { edit = state; }
    void SetEntries(const CompletionEntries& list) override {
        entries.clear();
        for (std::size_t i = 0; i < list.size(); ++i) {
            entries.push_back(list[i]);
        }
        row = -1;
    }
    void ShowList() override {
        open = !entries.empty();
        row = -1;
    }
    void CloseList() override { open = false; }
    bool ListOpen() const override { return open; }
    int ListRow() const override { return row; }
    int VisibleRows() const override { return 3; }
    void ChooseRow(int chosen) override {
        row = chosen;
        edit = CaretAtEnd(entries[static_cast<std::size_t>(chosen)]);
    }

    void Insert(char c) {
        edit.text.replace(static_cast<std::size_t>(edit.selStart),
                          static_cast<std::size_t>(edit.selLength), 1, c);
        edit = {edit.text, edit.selStart + 1, 0};
    }
};

}  // namespace tamsel::test
