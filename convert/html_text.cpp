#include "convert/html_text.h"

#include <array>
#include <cstdint>

#include "support/utf8_repair.h"

namespace tamsel {

namespace {

struct Named {
    std::string_view reference;  // after the "&"
    char character;
};

constexpr std::array<Named, 5> kNamed{{
    {"amp;", '&'},
    {"lt;", '<'},
    {"gt;", '>'},
    {"quot;", '"'},
    {"apos;", '\''},
}};

// The largest code point a reference may name; more digits than this holds are no
// character either, and stopping there keeps the value from overflowing.
constexpr std::uint32_t kLastCodePoint = 0x10FFFF;

int DigitValue(char c, bool hex) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (hex && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (hex && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Decodes the numeric reference that `rest` (just after the "&") begins into `out`; the
// length it takes up, or 0 when it is none or names no character.
std::size_t DecodeNumeric(std::string_view rest, std::string& out) {
    if (rest.size() < 3 || rest[0] != '#') {
        return 0;
    }
    const bool hex = rest[1] == 'x' || rest[1] == 'X';
    std::size_t at = hex ? 2 : 1;
    const std::size_t first = at;
    std::uint32_t code = 0;
    for (int digit = 0; at < rest.size() && (digit = DigitValue(rest[at], hex)) >= 0; ++at) {
        code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
        if (code > kLastCodePoint) {
            return 0;
        }
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (at == first || at == rest.size() || rest[at] != ';' || code == 0 || surrogate) {
        return 0;
    }
    AppendCodePoint(static_cast<char32_t>(code), out);
    return at + 1;
}

// Decodes the reference that `rest` (just after the "&") begins into `out`; the length it
// takes up, or 0 when it begins none.
std::size_t DecodeReference(std::string_view rest, std::string& out) {
    for (const Named& named : kNamed) {
        if (rest.starts_with(named.reference)) {
            out += named.character;
            return named.reference.size();
        }
    }
    return DecodeNumeric(rest, out);
}

// The characters an exporter escapes, and what it writes for each.
constexpr std::string_view kEscaped = "&<>\"'";
constexpr std::array<std::string_view, 5> kEscapes = {"&amp;", "&lt;", "&gt;", "&quot;", "&#39;"};

// `text` with those of `escaped` (some of kEscaped) written as their references.
std::string Escaped(std::string_view text, std::string_view escaped) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (escaped.find(c) == std::string_view::npos) {
            out += c;
        } else {
            out += kEscapes[kEscaped.find(c)];
        }
    }
    return out;
}

}  // namespace

std::string HtmlEscaped(std::string_view text) {
    return Escaped(text, kEscaped);
}

std::string HtmlAttributeEscaped(std::string_view text) {
    return Escaped(text, "\"");
}

std::string DecodedHtmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t amp = text.find('&', at);
        out.append(text.substr(at, amp - at));
        if (amp == std::string_view::npos) {
            break;
        }
        const std::size_t taken = DecodeReference(text.substr(amp + 1), out);
        if (taken == 0) {
            out += '&';
        }
        at = amp + 1 + taken;
    }
    return out;
}

}  // namespace tamsel
