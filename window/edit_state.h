#pragma once

// A path box's edit field. Texts are UTF-8; positions and lengths count UTF-16 code units,
// as the Qt and Win32 edit fields do, so windows need no conversion.

#include <cstddef>
#include <string>
#include <string_view>

namespace tamsel {

struct EditState {
    std::string text;
    int selStart = 0;   // the caret, from 0; with a selection, at its start
    int selLength = 0;  // code units selected from selStart; 0 for none

    bool operator==(const EditState&) const = default;
};

// The bytes of the UTF-8 character at `at`, continuation bytes included: a cut there never
// splits a sequence.
std::size_t CharacterLength(std::string_view text, std::size_t at);

// The length of valid UTF-8 in UTF-16 code units: a character beyond U+FFFF counts 2.
int Utf16Length(std::string_view utf8);

// `text` with the caret at its end, nothing selected; or selected whole, caret at its start.
EditState CaretAtEnd(std::string text);
EditState WholeTextSelected(std::string text);

// `box` without line breaks (CR, LF, NEL, U+2028, U+2029), the selection's ends moved back
// by the breaks before them: a path copied from a terminal often carries one.
EditState WithoutLineBreaks(const EditState& box);

}  // namespace tamsel
