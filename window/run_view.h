#pragma once

// What a run needs to show of itself in a window: the controls locked while it goes, and
// a progress dialog whose Cancel button calls RunController::Cancel.

#include <string>

namespace tamsel {

struct RunProgress {
    std::string text;      // what the run is doing
    int percent = 0;       // how far the list is read, 0 to 100
    bool waiting = false;  // waiting for another run: the bar shows no amount
};

class RunView {
  public:
    virtual ~RunView() = default;

    // While busy, the path boxes, the browse buttons and Start are disabled and the cursor
    // over the window is busy; afterwards all are as before.
    virtual void SetBusy(bool busy) = 0;
    // Opens the progress dialog over the window, or updates the open one. The window itself
    // stays able to close (its controls are locked already); a dialog that opens while the
    // window is active takes the keys, so that Esc reaches its Cancel.
    virtual void ShowProgress(const RunProgress& progress) = 0;
    // Closes the progress dialog if it is open.
    virtual void CloseProgress() = 0;
};

}  // namespace tamsel
