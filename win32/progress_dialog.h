#pragma once

// The run's progress dialog: a line of text, a progress bar and Cancel, owned by the form
// window. The window's loop hands it its messages through IsDialogMessage, so that Esc and
// Enter press Cancel.

#include <windows.h>

#include <functional>

#include "window/run_view.h"

namespace tamsel::win32 {

class ProgressDialog {
  public:
    ProgressDialog() = default;
    ~ProgressDialog() { Close(); }
    ProgressDialog(const ProgressDialog&) = delete;
    ProgressDialog& operator=(const ProgressDialog&) = delete;

    // Opens the dialog over `owner`, or brings the open one up to date. `cancel` is called
    // once, by Cancel (or Esc, or Enter) or the close box.
    void Show(HWND owner, const RunProgress& progress, std::function<void()> cancel);
    // Closes the dialog; an active one hands the activation back to its owner.
    void Close();

    HWND Handle() const { return dialog_; }

  private:
    static LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM w, LPARAM l);
    void Open(HWND owner);
    void Cancel();

    HWND owner_ = nullptr;
    HWND dialog_ = nullptr;
    HWND text_ = nullptr;
    HWND bar_ = nullptr;
    HWND cancelButton_ = nullptr;
    HFONT font_ = nullptr;
    bool waiting_ = false;
    std::function<void()> cancel_;
};

}  // namespace tamsel::win32
