#pragma once

// A key as a window hands it to the form logic: raw, before any decision.

#include "window/key_repeat.h"

namespace tamsel {

struct KeyEvent {
    // The Windows virtual-key code (window/virtual_keys.h); 0 for a key without one.
    int code = 0;
    // Modifier state: Shift 1 + Ctrl 2 + Alt 4 (window/virtual_keys.h).
    int shift = 0;
    // When it happened on the platform's event clock; nothing for no time.
    KeyTime time;
    // Flagged by the platform as a repeat of a held key.
    bool autoRepeat = false;
    // What the key's press and release have in common (a scan code); the release of a key
    // counts only when its press was seen.
    int identity = 0;
};

}  // namespace tamsel
