#pragma once

// Windows virtual-key codes: the one vocabulary in which every window hands its keys to the
// form logic. A toolkit that is not Windows maps its own keys onto these.

namespace tamsel::vk {

inline constexpr int kBackspace = 8;
inline constexpr int kTab = 9;
inline constexpr int kEnter = 13;  // Return and keypad Enter alike
inline constexpr int kShift = 16;
inline constexpr int kControl = 17;
inline constexpr int kAlt = 18;
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
inline constexpr int kPageUp = 33;
inline constexpr int kPageDown = 34;
inline constexpr int kEnd = 35;
inline constexpr int kHome = 36;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kInsert = 45;
inline constexpr int kDelete = 46;
inline constexpr int kFirstDigit = 48;   // 0 of the main row
inline constexpr int kLastDigit = 57;    // 9 of the main row
inline constexpr int kFirstLetter = 65;  // A
inline constexpr int kLastLetter = 90;   // Z
inline constexpr int kNumpad0 = 96;      // keypad digits run from here to 105
inline constexpr int kDecimal = 110;     // the keypad's period
inline constexpr int kF1 = 112;
inline constexpr int kF2 = 113;
inline constexpr int kPeriod = 190;     // the period key of the main block
inline constexpr int kSlash = 191;      // the "/" key on the US layout
inline constexpr int kBackslash = 220;  // the key that types the path separator

// Modifier state as the form logic reads it: only "none held" (0) is ever asked for.
inline constexpr int kShiftHeld = 1;
inline constexpr int kControlHeld = 2;
inline constexpr int kAltHeld = 4;

}  // namespace tamsel::vk
