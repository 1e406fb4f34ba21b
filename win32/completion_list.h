#pragma once

// A path box's drop-down list of completions: a popup below the box that never activates,
// so that the focus and every key stay in the box's edit field. Its list box knows only how
// many rows there are; a row's text is made as it is drawn, so 100,000 entries cost no more
// to set than ten.

#include <windows.h>

#include <functional>
#include <string>

#include "window/path_completion.h"

namespace tamsel::win32 {

class CompletionList {
  public:
    // `box` is the combo box the list drops from, whose font and width it takes; `clicked`
    // gets the row a click chose.
    CompletionList(HWND owner, HWND box, std::function<void(int row)> clicked);
    ~CompletionList();
    CompletionList(const CompletionList&) = delete;
    CompletionList& operator=(const CompletionList&) = delete;

    // An open list stays open, scrolled to its top with no current row, at its new height.
    void SetEntries(const CompletionEntries& entries);
    const CompletionEntries& Entries() const { return entries_; }

    // At most `maxRows` rows high, scrolled to its top with no current row; an empty list
    // stays closed.
    void Open(int maxRows);
    void Close() { ShowWindow(popup_, SW_HIDE); }
    bool IsOpen() const { return IsWindowVisible(popup_) != FALSE; }

    // -1 for none; making one current scrolls it into view.
    int CurrentRow() const { return static_cast<int>(SendMessageW(rows_, LB_GETCURSEL, 0, 0)); }
    void SetCurrentRow(int row) { SendMessageW(rows_, LB_SETCURSEL, static_cast<WPARAM>(row), 0); }
    int RowsShown() const;
    // The wheel turned over the box.
    void Wheel(WPARAM w, LPARAM l) { SendMessageW(rows_, WM_MOUSEWHEEL, w, l); }
    HWND Rows() const { return rows_; }  // the list box

  private:
    static LRESULT CALLBACK PopupProc(HWND popup, UINT message, WPARAM w, LPARAM l);
    static LRESULT CALLBACK RowsProc(HWND rows, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                     DWORD_PTR self);
    void Draw(const DRAWITEMSTRUCT& item) const;
    void Place(int maxRows);
    void ScrollToTop();
    int RowAt(LPARAM point) const;

    HWND box_;
    HWND popup_ = nullptr;
    HWND rows_ = nullptr;
    std::function<void(int row)> clicked_;
    CompletionEntries entries_;
    std::wstring folderPart_;  // the entries' folder part, converted once
    HFONT font_ = nullptr;     // the box's, taken as the list opens
    int maxRows_ = 1;
    int pressedRow_ = -1;
};

}  // namespace tamsel::win32
