#include "window/edit_state.h"

#include <utility>

namespace tamsel {

int Utf16Length(std::string_view utf8) {
    int units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) == 0x80) {
            continue;  // continuation bytes add nothing of their own
        }
        units += (byte >= 0xF0 && byte <= 0xF4) ? 2 : 1;
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

std::string WithoutLineBreaks(std::string_view pasted) {
    std::string line;
    line.reserve(pasted.size());
    for (const char c : pasted) {
        if (c != '\r' && c != '\n') {
            line += c;
        }
    }
    return line;
}

}  // namespace tamsel
