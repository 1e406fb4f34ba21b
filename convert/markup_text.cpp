#include "convert/markup_text.h"

#include <algorithm>
#include <array>
#include <charconv>
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

bool IsHex(std::string_view rest) {
    return rest[1] == 'x' || rest[1] == 'X';
}

// The length of the "#" digits ";" or "#x" hex digits ";" that `rest` (just after the "&")
// begins, or 0.
std::size_t NumericReferenceLength(std::string_view rest) {
    if (rest.size() < 3 || rest[0] != '#') {
        return 0;
    }
    const std::size_t first = IsHex(rest) ? 2 : 1;
    const std::size_t end =
        rest.find_first_not_of(IsHex(rest) ? "0123456789abcdefABCDEF" : "0123456789", first);
    return end != std::string_view::npos && end > first && rest[end] == ';' ? end + 1 : 0;
}

// Whether the "&" that `rest` follows already begins a reference the menu can keep.
bool BeginsKeptReference(std::string_view rest) {
    return std::any_of(kNamed.begin(), kNamed.end(),
                       [&](const Named& named) { return rest.starts_with(named.reference); }) ||
           NumericReferenceLength(rest) > 0;
}

// Decodes the reference that `rest` (just after the "&") begins into `out`; the length it
// takes up, or 0 when it begins none or names no character.
std::size_t DecodeReference(std::string_view rest, std::string& out) {
    for (const Named& named : kNamed) {
        if (rest.starts_with(named.reference)) {
            out += named.character;
            return named.reference.size();
        }
    }
    const std::size_t length = NumericReferenceLength(rest);
    if (length == 0) {
        return 0;
    }
    std::uint32_t code = 0;  // a value too large for it is no character either
    const char* digits = rest.data() + (IsHex(rest) ? 2 : 1);
    const bool read =
        std::from_chars(digits, rest.data() + length - 1, code, IsHex(rest) ? 16 : 10).ec ==
        std::errc();
    if (!read || code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        return 0;
    }
    AppendCodePoint(static_cast<char32_t>(code), out);
    return length;
}

// Whether `value` holds a character that may need escaping. Three memchr passes cost less
// than one loop over the characters, and this test runs for every value of every link.
bool HoldsSpecial(std::string_view value) {
    return value.find('<') != std::string_view::npos || value.find('"') != std::string_view::npos ||
           value.find('&') != std::string_view::npos;
}

}  // namespace

void AppendXmlEscaped(std::string_view value, std::string& out) {
    if (!HoldsSpecial(value)) {
        out.append(value);
        return;
    }
    constexpr std::string_view kSpecial = "<\"&";
    std::size_t from = 0;
    for (std::size_t at = value.find_first_of(kSpecial); at != std::string_view::npos;
         at = value.find_first_of(kSpecial, at + 1)) {
        if (value[at] == '&' && BeginsKeptReference(value.substr(at + 1))) {
            continue;
        }
        out.append(value, from, at - from);
        out.append(value[at] == '<' ? "&lt;" : value[at] == '"' ? "&quot;" : "&amp;");
        from = at + 1;
    }
    out.append(value, from);
}

std::string XmlEscaped(std::string_view value) {
    std::string escaped;
    AppendXmlEscaped(value, escaped);
    return escaped;
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
