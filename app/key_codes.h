#pragma once

// The form logic reacts to keys by their Windows virtual-key codes (window/virtual_keys.h),
// whatever the toolkit; this is the one place that translates Qt's key events into them.

#include <Qt>

#include "window/key_event.h"

class QKeyEvent;

// A key as the form logic sees it.
struct VirtualKey {
    // The Windows virtual-key code; 0 for a key without one here.
    int code = 0;
    // Modifier state: Shift 1 + Ctrl 2 + Alt 4; non-zero when any of them is held.
    int shift = 0;
};

// Maps a Qt key and its modifiers. Return and keypad Enter both give Enter; keypad digits
// and the keypad period (Qt::KeypadModifier) give the numeric-keypad codes, not the main
// row's, while the keypad's editing keys (Num Lock off) give the editing keys' codes. Letters
// map by Qt key, so Shift+A and a on any layout give A (65). On POSIX the slash key gives
// the separator key's code.
VirtualKey ToVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers);

// The same for a key event.
VirtualKey ToVirtualKey(const QKeyEvent& event);

// What a key's press and release have in common: the native scan code where the platform
// gives one (the press and release of a key can carry different Qt keys when a modifier is
// let go first), else the Qt key.
int KeyIdentity(const QKeyEvent& event);

// When the key event happened on the platform's event clock; nothing for an event without
// a time (one made up in the program rather than sent by the platform).
tamsel::KeyTime KeyEventTime(const QKeyEvent& event);

// A key event as the form logic takes it: code, modifiers, time, repeat flag and identity.
tamsel::KeyEvent ToKeyEvent(const QKeyEvent& event);
