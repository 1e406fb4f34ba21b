#pragma once

// The form logic reacts to keys by their Windows virtual-key codes (window/virtual_keys.h),
// whatever the toolkit; this is the one place that translates Qt's key events into them.

#include "window/key_event.h"

class QKeyEvent;

// A key event as the form logic takes it: the virtual-key code (0 for a key without one here)
// and Shift, Ctrl and Alt. Return and keypad Enter give Enter; keypad digits and period
// (Qt::KeypadModifier) give the keypad codes, its editing keys (Num Lock off) the editing
// keys' codes. Letters map by Qt key, so Shift+A and a on any layout give A (65). On POSIX the
// slash key gives the separator key's code. An event made up in the program rather than sent
// by the platform has no time. Its identity, which a press and its release share, is the
// native scan code where there is one (the two can carry different Qt keys when a modifier is
// let go first), else the Qt key.
tamsel::KeyEvent ToKeyEvent(const QKeyEvent& event);
