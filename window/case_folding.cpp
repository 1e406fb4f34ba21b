#include "window/case_folding.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace tamsel {

namespace {

struct Folding {
    char32_t from;
    char32_t to;
};

constexpr Folding kFoldings[] = {
#include "window/case_folding_table.inc"
};

// Decodes the character at `at`; nothing when the bytes there form no valid sequence.
bool Decode(std::string_view text, std::size_t at, char32_t& codePoint, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        codePoint = lead;
        length = 1;
        return true;
    }
    if (lead < 0xC2 || lead > 0xF4) {
        return false;
    }
    length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (at + length > text.size()) {
        return false;
    }
    codePoint = lead & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return false;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    return true;
}

void Encode(char32_t codePoint, std::string& out) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace

char32_t FoldCodePoint(char32_t codePoint) {
    const auto* found =
        std::lower_bound(std::begin(kFoldings), std::end(kFoldings), codePoint,
                         [](const Folding& folding, char32_t key) { return folding.from < key; });
    return found != std::end(kFoldings) && found->from == codePoint ? found->to : codePoint;
}

std::string FoldCase(std::string_view utf8) {
    std::string folded;
    folded.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t codePoint = 0;
        std::size_t length = 1;
        if (Decode(utf8, at, codePoint, length)) {
            Encode(FoldCodePoint(codePoint), folded);
        } else {
            length = 1;
            folded += utf8[at];
        }
        at += length;
    }
    return folded;
}

}  // namespace tamsel
