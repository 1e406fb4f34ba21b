#include "window/message_lines.h"

#include <cstddef>

namespace tamsel {

namespace {

// The bytes of the UTF-8 character that starts at `at`.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
    std::size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        ++end;
    }
    return end - at;
}

// Fills lines no wider than a limit, breaking them into `out`.
class LineFiller {
  public:
    LineFiller(std::string& out, int maxWidth, const TextWidth& width)
        : out_(out), maxWidth_(maxWidth), width_(width) {}

    // Puts `piece` on the current line, or on the next when it fits there and not here.
    void Add(std::string_view piece) {
        if (Fits(piece)) {
            line_ += piece;
        } else if (!line_.empty() && width_(piece) <= maxWidth_) {
            Break();
            line_ = piece;
        } else {
            AddCharacters(piece);
        }
    }

    void Finish() { out_ += line_; }

  private:
    bool Fits(std::string_view more) const {
        return width_(line_ + std::string(more)) <= maxWidth_;
    }

    void Break() {
        out_ += line_;
        out_ += '\n';
        line_.clear();
    }

    // A piece too long for any line: each line is filled up, one character at a time.
    void AddCharacters(std::string_view piece) {
        for (std::size_t at = 0; at < piece.size();) {
            const std::string_view character = piece.substr(at, CharacterLength(piece, at));
            if (!line_.empty() && !Fits(character)) {
                Break();
                continue;
            }
            line_ += character;
            at += character.size();
        }
    }

    std::string& out_;
    int maxWidth_;
    const TextWidth& width_;
    std::string line_;
};

void WrapLine(std::string_view line, int maxWidth, const TextWidth& width, std::string& out) {
    if (width(line) <= maxWidth) {
        out += line;
        return;
    }
    LineFiller filler(out, maxWidth, width);
    for (std::size_t start = 0; start < line.size();) {
        const std::size_t breakAfter = line.find_first_of("/\\ ", start);
        const std::size_t end = breakAfter == std::string_view::npos ? line.size() : breakAfter + 1;
        filler.Add(line.substr(start, end - start));
        start = end;
    }
    filler.Finish();
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
