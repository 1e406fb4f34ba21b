#include "window/case_fold.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

namespace tamsel {

namespace {

struct FoldRun {
    char32_t first;
    char32_t last;
    std::int32_t offset;
    std::uint8_t stride;
};

constexpr FoldRun kFoldRuns[] = {
#include "window/case_fold_table.inc"
};

constexpr char32_t kInvalidByte = 0x110000;

// The code point of a well-formed sequence of `length` bytes, or nothing for an overlong
// form, a surrogate or a value beyond Unicode.
bool Decode(std::string_view text, std::size_t at, std::size_t length, char32_t& code) {
    static constexpr std::array<unsigned char, 5> kLeadBits{0, 0x7F, 0x1F, 0x0F, 0x07};
    static constexpr std::array<char32_t, 5> kSmallest{0, 0, 0x80, 0x800, 0x10000};
    if (at + length > text.size()) {
        return false;
    }
    code = static_cast<unsigned char>(text[at]) & kLeadBits[length];
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if ((byte & 0xC0) != 0x80) {
            return false;
        }
        code = (code << 6) | (byte & 0x3F);
    }
    return code >= kSmallest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
}

std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xC0 && lead < 0xE0) {
        return 2;
    }
    if (lead >= 0xE0 && lead < 0xF0) {
        return 3;
    }
    if (lead >= 0xF0 && lead < 0xF8) {
        return 4;
    }
    return 0;
}

}  // namespace

char32_t FoldCase(char32_t c) {
    const FoldRun* run =
        std::upper_bound(std::begin(kFoldRuns), std::end(kFoldRuns), c,
                         [](char32_t code, const FoldRun& r) { return code < r.first; });
    if (run == std::begin(kFoldRuns)) {
        return c;
    }
    --run;
    if (c > run->last || (run->stride == 2 && (c - run->first) % 2 != 0)) {
        return c;
    }
    return static_cast<char32_t>(static_cast<std::int32_t>(c) + run->offset);
}

FoldedCharacter FoldedCharacterAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        return {lead >= 'A' && lead <= 'Z' ? char32_t(lead + ('a' - 'A')) : char32_t(lead), 1};
    }
    const std::size_t length = SequenceLength(lead);
    char32_t code = 0;
    if (length == 0 || !Decode(text, at, length, code)) {
        return {kInvalidByte + lead, 1};
    }
    return {FoldCase(code), length};
}

}  // namespace tamsel
