// The form window's side of a run off its thread: the controls locked, the busy cursor and
// the progress dialog; the sequence is the run controller's (window/run_controller.h).

#include "win32/form_window.h"

namespace tamsel::win32 {

void FormWindow::SetBusy(bool busy) {
    if (busy == busy_) {
        return;
    }
    busy_ = busy;
    if (busy) {
        // A disabled control loses the focus; it comes back as after a message box.
        NoteFocus();
    }
    for (const PathBoxRow& box : PathBoxes()) {
        EnableWindow(Box(box.input), !busy);
        EnableWindow(Control(box.button), !busy);
    }
    EnableWindow(Control("btnStart"), !busy);
    if (!busy && GetActiveWindow() == window_) {
        GiveFocusBack();
    }
    POINT cursor;
    GetCursorPos(&cursor);
    SetCursorPos(cursor.x, cursor.y);  // the window answers WM_SETCURSOR anew
}

void FormWindow::ShowProgress(const RunProgress& progress) {
    progress_.Show(window_, progress, [this] {
        if (RunController* run = commands_.Runs()) {
            run->Cancel();
        }
    });
}

}  // namespace tamsel::win32
