#include "window/message_lines.h"

#include <cstddef>

#include "window/edit_state.h"

namespace tamsel {

namespace {

// A piece too long for any line fills each line up, one character at a time.
void AddCharacters(std::string_view piece, const auto& fits, const auto& breakLine,
                   std::string& line) {
    for (std::size_t at = 0; at < piece.size();) {
        const std::string_view character = piece.substr(at, CharacterLength(piece, at));
        if (!line.empty() && !fits(character)) {
            breakLine();
            continue;
        }
        line += character;
        at += character.size();
    }
}

void WrapLine(std::string_view text, int maxWidth, const TextWidth& width, std::string& out) {
    if (width(text) <= maxWidth) {
        out += text;
        return;
    }
    std::string line;
    const auto fits = [&](std::string_view more) {
        return width(line + std::string(more)) <= maxWidth;
    };
    const auto breakLine = [&] {
        out += line;
        out += '\n';
        line.clear();
    };
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t breakAfter = text.find_first_of("/\\ ", start);
        const std::size_t end = breakAfter == std::string_view::npos ? text.size() : breakAfter + 1;
        const std::string_view piece = text.substr(start, end - start);
        start = end;
        // On this line, or on the next when it fits there and not here.
        if (fits(piece)) {
            line += piece;
        } else if (!line.empty() && width(piece) <= maxWidth) {
            breakLine();
            line = piece;
        } else {
            AddCharacters(piece, fits, breakLine, line);
        }
    }
    out += line;
}

}  // namespace

std::string WrapMessage(std::string_view message, int maxWidth, const TextWidth& width) {
    std::string wrapped;
    wrapped.reserve(message.size() + message.size() / 16);
    for (std::size_t start = 0;;) {
        const std::size_t end = message.find('\n', start);
        WrapLine(message.substr(start, end - start), maxWidth, width, wrapped);
        if (end == std::string_view::npos) {
            return wrapped;
        }
        wrapped += '\n';
        start = end + 1;
    }
}

}  // namespace tamsel
