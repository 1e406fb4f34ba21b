#pragma once

// The path boxes react to keys by their Windows virtual-key codes, whatever the toolkit;
// this is the one place that translates Qt's key events into them.

#include <Qt>

class QKeyEvent;

// Virtual-key codes the path boxes react to.
namespace vk {
inline constexpr int kEnter = 13;
inline constexpr int kF2 = 113;
inline constexpr int kPeriod = 190;      // the period key of the main block
inline constexpr int kBackslash = 220;   // on POSIX the slash key too: it types the separator
inline constexpr int kFirstLetter = 65;  // A
inline constexpr int kLastLetter = 90;   // Z
inline constexpr int kFirstDigit = 48;   // 0 of the main row
inline constexpr int kLastDigit = 57;    // 9 of the main row
}  // namespace vk

// A key as the path boxes see it.
struct VirtualKey {
    // The Windows virtual-key code; 0 for a key without one here.
    int code = 0;
    // Modifier state: Shift 1 + Ctrl 2 + Alt 4; non-zero when any of them is held.
    int shift = 0;
};

// Maps a Qt key and its modifiers. Return and keypad Enter both give Enter; keypad digits
// and the keypad period (Qt::KeypadModifier) give the numeric-keypad codes, not the main
// row's. Letters map by Qt key, so Shift+A and a on any layout give A (65).
VirtualKey ToVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers);

// The same for a key event.
VirtualKey ToVirtualKey(const QKeyEvent& event);
