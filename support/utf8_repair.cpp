#include "support/utf8_repair.h"

#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tamsel {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::uint64_t kEveryByte = 0x0101010101010101;
constexpr std::uint64_t kHighBits = 0x8080808080808080;

unsigned char ByteAt(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]);
}

// Whether the eight bytes of `word` are all printable ASCII (0x20-0x7F): a byte of 0x80 or
// more shows its high bit, and the lowest byte below 0x20 borrows into its own high bit when
// 0x20 is taken from each. A list is mostly such bytes, so they are passed eight at a time.
bool IsPlainWord(std::uint64_t word) {
    return ((word | (word - 0x20 * kEveryByte)) & kHighBits) == 0;
}

// Where the next byte at or after `at` lies that is not printable ASCII, or text.size().
std::size_t SkipPlain(std::string_view text, std::size_t at) {
#ifdef __SSE2__
    // Thirty-two bytes at a time where every x86-64 processor can: as signed bytes, exactly
    // 0x20-0x7F are greater than 0x1F. Twice as fast as the words below.
    const __m128i belowPlain = _mm_set1_epi8(0x1F);
    for (; at + 32 <= text.size(); at += 32) {
        const auto* block = reinterpret_cast<const __m128i*>(text.data() + at);
        const __m128i plain = _mm_and_si128(_mm_cmpgt_epi8(_mm_loadu_si128(block), belowPlain),
                                            _mm_cmpgt_epi8(_mm_loadu_si128(block + 1), belowPlain));
        if (_mm_movemask_epi8(plain) != 0xFFFF) {
            break;
        }
    }
#endif
    for (std::uint64_t word = 0; at + sizeof word <= text.size(); at += sizeof word) {
        std::memcpy(&word, text.data() + at, sizeof word);
        if (!IsPlainWord(word)) {
            break;
        }
    }
    while (at < text.size() && ByteAt(text, at) >= 0x20 && ByteAt(text, at) < 0x80) {
        ++at;
    }
    return at;
}

bool IsControl(unsigned char byte) {
    return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
}

// One sequence that begins with a byte of 0x80 or more: a well-formed one with its code
// point, or the maximal ill-formed subpart there (at least one byte).
struct Sequence {
    std::size_t size = 1;
    char32_t c = 0;
    bool valid = false;
};

// The bounds of the second byte are narrower after E0, ED, F0 and F4, which is what keeps
// out overlong forms, surrogates and code points above U+10FFFF.
Sequence ReadSequence(std::string_view text, std::size_t at) {
    const unsigned char lead = ByteAt(text, at);
    std::size_t needed = 0;
    unsigned char lower = 0x80;
    unsigned char upper = 0xBF;
    Sequence sequence;
    if (lead >= 0xC2 && lead <= 0xDF) {
        needed = 1;
        sequence.c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        needed = 2;
        sequence.c = lead & 0x0F;
        lower = lead == 0xE0 ? 0xA0 : lower;
        upper = lead == 0xED ? 0x9F : upper;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        needed = 3;
        sequence.c = lead & 0x07;
        lower = lead == 0xF0 ? 0x90 : lower;
        upper = lead == 0xF4 ? 0x8F : upper;
    } else {
        return sequence;
    }
    for (; sequence.size <= needed; ++sequence.size) {
        if (at + sequence.size >= text.size()) {
            return sequence;
        }
        const unsigned char next = ByteAt(text, at + sequence.size);
        if (next < lower || next > upper) {
            return sequence;
        }
        lower = 0x80;
        upper = 0xBF;
        sequence.c = (sequence.c << 6) | (next & 0x3F);
    }
    sequence.valid = true;
    return sequence;
}

bool IsNonCharacter(char32_t c) {
    return c == 0xFFFE || c == 0xFFFF;
}

}  // namespace

Utf8Need CheckUtf8(std::string_view text) {
    Utf8Need need = Utf8Need::Nothing;
    for (std::size_t at = SkipPlain(text, 0); at < text.size(); at = SkipPlain(text, at)) {
        const unsigned char byte = ByteAt(text, at);
        if (byte < 0x80) {
            need = IsControl(byte) ? Utf8Need::ControlsOnly : need;
            ++at;
            continue;
        }
        const Sequence sequence = ReadSequence(text, at);
        if (!sequence.valid) {
            return Utf8Need::NotUtf8;
        }
        need = IsNonCharacter(sequence.c) ? Utf8Need::ControlsOnly : need;
        at += sequence.size;
    }
    return need;
}

namespace {

// The size of the character at `at` that ReplaceControlCharacters replaces, or 0.
std::size_t ControlAt(std::string_view text, std::size_t at) {
    if (IsControl(ByteAt(text, at))) {
        return 1;
    }
    const std::string_view three = text.substr(at, 3);
    return three == "\xEF\xBF\xBE" || three == "\xEF\xBF\xBF" ? 3 : 0;
}

}  // namespace

void AppendReplacingControlCharacters(std::string_view text, std::string& out) {
    std::size_t copied = 0;  // text before this is in `out`
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t size = ControlAt(text, at);
        if (size == 0) {
            ++at;
            continue;
        }
        out.append(text.substr(copied, at - copied)).append(kReplacement);
        at += size;
        copied = at;
    }
    out.append(text.substr(copied));
}

void ReplaceControlCharacters(std::string& text) {
    if (CheckUtf8(text) == Utf8Need::Nothing) {
        return;
    }
    std::string out;
    AppendReplacingControlCharacters(text, out);
    text.swap(out);
}

void AppendRepairedUtf8(std::string_view bytes, std::string& out) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = at;
        while (end < bytes.size() && ByteAt(bytes, end) < 0x80) {
            ++end;
        }
        out.append(bytes.substr(at, end - at));
        if (end == bytes.size()) {
            return;
        }
        const Sequence sequence = ReadSequence(bytes, end);
        out.append(sequence.valid ? bytes.substr(end, sequence.size) : kReplacement);
        at = end + sequence.size;
    }
}

void AppendCodePoint(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace tamsel
