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
    ComboBoxView& BoxView(RunInput box) const { return *boxes_[static_cast<std::size_t>(box)]; }

    // Offers the thread loop's message to the window and its progress dialog before it is
    // dispatched (their keys, the dialog keys); true when they took it.
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

    // Whether a run started by Start is still going.
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

    // Drawing (form_window_paint.cpp). A font is the caller's to delete.
    void CreatePaintObjects(HINSTANCE instance);
    HFONT CreateLayoutFont(const FontStyle& style) const;
    void Paint();
    void DrawStartButton(const DRAWITEMSTRUCT& item) const;
    // A brush, or 0 to leave the control to draw itself.
    LRESULT StaticColours(HDC dc, HWND control) const;
    LRESULT EditColours(HDC dc, HWND edit) const;
    void Command(int row, int notification);

    // Keys (form_window_keys.cpp). Modal windows of the form's own (message boxes, the
    // open-file dialog) act only on keys pressed while they show.
    bool ModalAnswers(const MSG& message);
    static LRESULT CALLBACK ModalLoopHook(int code, WPARAM w, LPARAM l);
    void WatchModalLoops();
    void StopWatchingModalLoops();
    PathBoxController* BoxOf(HWND target) const;  // of a box's combo or field, or nullptr
    void BoxFocus(ComboBoxView& box, int notification);
    void Paste(ComboBoxView& box);
    void ArrowPressed(ComboBoxView& box);
    void CloseListsOn(UINT message, WPARAM w, LPARAM l);

    // The focused control noted as the window is deactivated, given back on activation.
    void NoteFocus();
    bool GiveFocusBack();

    int RowOf(HWND control) const;  // the layout row, or -1
    HWND Box(RunInput box) const { return Control(PathBoxOf(box).box); }
    void FilesDropped(HDROP drop);
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
