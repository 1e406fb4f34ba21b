#pragma once

// The edit field of a path box as the form logic sees it. Texts are UTF-8; positions and
// lengths count UTF-16 code units, as both the Qt and the Win32 edit fields do, so that a
// window hands them over without conversion.

#include <string>
#include <string_view>

namespace tamsel {

struct EditState {
    std::string text;
    // The caret, counted from 0. With a selection the caret stands here, at the selection's
    // start, and the selection's other end at SelStart + SelLength.
    int selStart = 0;
    // How many code units from SelStart are selected; 0 for none.
    int selLength = 0;

    bool operator==(const EditState&) const = default;
};

// The length of a UTF-8 text in UTF-16 code units: a character beyond U+FFFF counts 2.
// Meant for valid UTF-8, which is what the windows hand over.
int Utf16Length(std::string_view utf8);

// `text` with the caret behind its last character and nothing selected.
EditState CaretAtEnd(std::string text);

// `text` selected whole, with the caret at its start.
EditState WholeTextSelected(std::string text);

// `box` without the line breaks in its text (CR, LF, NEL, U+2028 and U+2029), each end of
// the selection moved back by the breaks before it: a path box holds one line, and a path
// copied from a terminal often carries a break that would make it name no file.
EditState WithoutLineBreaks(const EditState& box);

}  // namespace tamsel
