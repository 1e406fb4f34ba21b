#include "window/edit_state.h"

#include <cstddef>
#include <utility>

namespace tamsel {

namespace {

// The UTF-16 code units of the character a UTF-8 byte starts.
int CodeUnits(unsigned char byte) {
    if ((byte & 0xC0) == 0x80) {
        return 0;
    }
    return (byte >= 0xF0 && byte <= 0xF4) ? 2 : 1;
}

std::size_t LineBreakAt(std::string_view text, std::size_t at) {
    if (text[at] == '\r' || text[at] == '\n') {
        return 1;
    }
    const std::string_view rest = text.substr(at);
    if (rest.starts_with("\xC2\x85")) {
        return 2;
    }
    return rest.starts_with("\xE2\x80\xA8") || rest.starts_with("\xE2\x80\xA9") ? 3 : 0;
}

}  // namespace

std::size_t CharacterLength(std::string_view text, std::size_t at) {
    std::size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        ++end;
    }
    return end - at;
}

int Utf16Length(std::string_view utf8) {
    int units = 0;
    for (const char c : utf8) {
        units += CodeUnits(static_cast<unsigned char>(c));
    }
    return units;
}

EditState CaretAtEnd(std::string text) {
    const int length = Utf16Length(text);
    return {std::move(text), length, 0};
}

EditState WholeTextSelected(std::string text) {
    const int length = Utf16Length(text);
    return {std::move(text), 0, length};
}

EditState WithoutLineBreaks(const EditState& box) {
    EditState line;
    line.text.reserve(box.text.size());
    const int selEnd = box.selStart + box.selLength;
    int unit = 0;  // code units of box.text read so far
    int droppedBeforeStart = 0;
    int droppedBeforeEnd = 0;
    for (std::size_t at = 0; at < box.text.size();) {
        if (const std::size_t length = LineBreakAt(box.text, at)) {
            droppedBeforeStart += unit < box.selStart ? 1 : 0;
            droppedBeforeEnd += unit < selEnd ? 1 : 0;
            ++unit;
            at += length;
            continue;
        }
        unit += CodeUnits(static_cast<unsigned char>(box.text[at]));
        line.text += box.text[at++];
    }
    line.selStart = box.selStart - droppedBeforeStart;
    line.selLength = selEnd - droppedBeforeEnd - line.selStart;
    return line;
}

}  // namespace tamsel
