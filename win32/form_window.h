#pragma once

// The main window as a native Win32 window: it draws the layout's controls, hands their
// events to the form's commands and the path boxes' keys to the form logic, and applies
// what comes back. Sizes follow the window's resolution (per-monitor DPI awareness).

#include <windows.h>

#include <shellapi.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "win32/combo_box_view.h"
#include "win32/progress_dialog.h"
#include "win32/wide_text.h"
#include "win32/window_thread.h"
#include "window/form_commands.h"
#include "window/form_layout.h"
#include "window/path_boxes.h"

namespace tamsel::win32 {

class FormWindow final : public FormView, private RunView {
  public:
    // `programFolder` is the folder of the defaults, UTF-8 (empty: the executable's own);
    // `homepage` the credit's address, empty for the README beside the program.
    FormWindow(DesktopServices& desktop, std::string programFolder, std::string homepage = {},
               FormCommands::Conversion conversion = {});
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // Creates the window, fills the boxes from the defaults and shows it centred on the
    // screen with the focus in the link list's box. False when the window cannot be made.
    bool Create(HINSTANCE instance);

    HWND Handle() const { return window_; }
    // The control of a layout row by name; nullptr for the drawn ones (band, picture).
    HWND Control(std::string_view name) const;
    HWND BoxEdit(RunInput box) const;
    const CompletionList& BoxList(RunInput box) const {
        return boxes_[static_cast<std::size_t>(box)]->List();
    }

    // Offers a message of the thread's loop to the window before it is dispatched: the
    // window's Enter and Esc, keys for an open completion list, Tab and the other dialog
    // keys; in the progress dialog, its Esc and Enter (Cancel) and the keys it must not
    // answer. True when the window took the message; otherwise the loop dispatches it.
    bool TranslateForWindow(MSG& message);

    std::string BoxText(RunInput box) const override { return WindowText(Box(box)); }
    void SetBoxText(RunInput box, const std::string& text) override {
        SetWindowTextUtf8(Box(box), text);
    }
    void FocusBox(RunInput box) override { SetFocus(Box(box)); }
    void CloseWindow() override { DestroyWindow(window_); }
    void SetFolderRows(const std::vector<std::string>& rows, int chosen) override;
    int ChosenFolderRow() const override;
    void EnableFolderRow(bool enabled) override { EnableWindow(Control("cboFolder"), enabled); }

    // Whether a run started by Start is still going (form_window_run.cpp).
    bool Running() { return commands_.Runs()->Running(); }

  private:
    void SetBusy(bool busy) override;
    void ShowProgress(const RunProgress& progress) override;
    void CloseProgress() override { progress_.Close(); }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
    static LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                     DWORD_PTR self);
    static LRESULT CALLBACK ComboProc(HWND combo, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                      DWORD_PTR self);
    LRESULT Handle(UINT message, WPARAM w, LPARAM l);

    void CreateControls(HINSTANCE instance);
    void CreateCreditTip(HINSTANCE instance);
    void Layout();
    void PlaceOnScreen();
    int Scale(int twips) const { return MulDiv(twips, dpi_, 1440); }
    RECT Scaled(const Rect& twips) const;

    // The brushes and the header picture (form_window_paint.cpp).
    void CreatePaintObjects(HINSTANCE instance);
    // A font of the layout at the window's resolution, which the caller owns. A style
    // without a face or size takes the window font's; its face where the system has it,
    // else the system's own user-interface face.
    HFONT CreateLayoutFont(const FontStyle& style) const;
    void Paint();
    void DrawStartButton(const DRAWITEMSTRUCT& item) const;
    // The brush for a label; 0 for the Folder row's list, which draws itself.
    LRESULT StaticColours(HDC dc, HWND control) const;
    // The brush for a path box's edit field, its text colour set; 0 for another edit.
    LRESULT EditColours(HDC dc, HWND edit) const;
    void Command(int row, int notification);
    // Whether a modal window of the form's own may act on a key message: only on keys
    // pressed while it shows (FormCommands::ModalKeyDown); every other message passes.
    bool ModalAnswers(const MSG& message);
    // Sees the messages of the thread's modal loops (message boxes, the open-file dialog)
    // for the forms of the thread.
    static LRESULT CALLBACK ModalLoopHook(int code, WPARAM w, LPARAM l);
    void WatchModalLoops();
    void StopWatchingModalLoops();

    // Notes the focused control as the window is deactivated, and gives the focus back to
    // it; false when there is none to give it to.
    void NoteFocus();
    bool GiveFocusBack();

    // The row of a control in the layout, or -1.
    int RowOf(HWND control) const;
    HWND Box(RunInput box) const { return Control(PathBoxOf(box).box); }
    // The controller of the path box whose combo box or edit field `target` is, or nullptr.
    PathBoxController* BoxOf(HWND target) const;
    // A path box's focus came or went (CBN_SETFOCUS, CBN_KILLFOCUS).
    void BoxFocus(ComboBoxView& box, int notification);
    void Paste(ComboBoxView& box);
    // The box's arrow, or its key, opens or closes its list; a press brings the focus.
    void ArrowPressed(ComboBoxView& box);
    // As drop-down lists do, the open lists close when the window moves or a press falls
    // outside their box.
    void CloseListsOn(UINT message, WPARAM w, LPARAM l);

    // Files dropped from the file manager (form_window_drops.cpp).
    void FilesDropped(HDROP drop);
    // Names and roles for screen readers (form_window_screen_readers.cpp).
    void NameForScreenReaders();
    void ForgetScreenReaderNames();

    // Before the commands: a run still going ends before its window thread and dialog go.
    Win32WindowThread thread_;
    ProgressDialog progress_;
    bool busy_ = false;
    FormCommands commands_;
    std::string programFolder_;
    std::string homepage_;
    HWND window_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool givingFocusBack_ = false;
    bool clicking_ = false;  // a press in a path box that brings the focus is handled
    std::array<std::unique_ptr<ComboBoxView>, kPathBoxCount> boxes_;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::vector<HWND> controls_;  // by layout row; nullptr for the drawn rows
    std::vector<HFONT> fonts_;    // by layout row
    HBITMAP picture_ = nullptr;
    HBRUSH bandBrush_ = nullptr;
    HBRUSH startFace_ = nullptr;
};

}  // namespace tamsel::win32
