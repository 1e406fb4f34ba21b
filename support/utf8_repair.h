#pragma once

// Making text that may be any bytes into UTF-8 that an XML file can hold. Well-formed UTF-8
// here is what the Unicode Standard allows: no stray continuation byte, no overlong form, no
// surrogate, nothing above U+10FFFF and no sequence cut short.

#include <string>
#include <string_view>

namespace tamsel {

// What `text` needs before it may go into a UTF-8 XML file.
enum class Utf8Need {
    Nothing,       // well-formed, and no character that ReplaceControlCharacters replaces
    ControlsOnly,  // well-formed, but with such a character
    NotUtf8,       // not well-formed
};
Utf8Need CheckUtf8(std::string_view text);

// Replaces every character that XML 1.0 does not allow and a UTF-8 text can hold by U+FFFD:
// the C0 controls other than TAB, LF and CR (U+0000-U+0008, U+000B, U+000C, U+000E-U+001F),
// U+FFFE and U+FFFF. Every other byte stays.
void ReplaceControlCharacters(std::string& text);

// Appends `text` to `out` with those characters replaced, in one pass.
void AppendReplacingControlCharacters(std::string_view text, std::string& out);

// Appends `bytes` read as UTF-8 to `out`, each maximal ill-formed subpart as one U+FFFD (the
// Unicode Standard's recommended practice, which the WHATWG decoder follows): "F0 80 80" gives
// three, "E2 82" followed by "x" one and then "x".
void AppendRepairedUtf8(std::string_view bytes, std::string& out);

// Appends the UTF-8 form of the code point `c` (at most U+10FFFF) to `out`.
void AppendCodePoint(char32_t c, std::string& out);

}  // namespace tamsel
