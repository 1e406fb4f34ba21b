#include "convert/xml_escape.h"

#include <array>

namespace tamsel {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// "#" digits ";" or "#x" hex digits ";", from just after the "&".
bool IsNumericReference(std::string_view rest) {
    if (rest.size() < 3 || rest[0] != '#') {
        return false;
    }
    const bool hex = rest[1] == 'x' || rest[1] == 'X';
    std::size_t at = hex ? 2 : 1;
    const std::size_t first = at;
    while (at < rest.size() && (hex ? IsHexDigit(rest[at]) : IsDigit(rest[at]))) {
        ++at;
    }
    return at > first && at < rest.size() && rest[at] == ';';
}

// Whether the "&" that `rest` follows already begins a reference the menu can keep.
bool BeginsKeptReference(std::string_view rest) {
    static constexpr std::array<std::string_view, 5> kNamed = {"amp;", "lt;", "gt;", "quot;",
                                                               "apos;"};
    for (std::string_view name : kNamed) {
        if (rest.starts_with(name)) {
            return true;
        }
    }
    return IsNumericReference(rest);
}

bool IsSpecial(char c) {
    return c == '<' || c == '"' || c == '&';
}

// Whether `value` holds a character that may need escaping. Three memchr passes cost less
// than one loop over the characters, and this test runs for every value of every link.
bool HoldsSpecial(std::string_view value) {
    return value.find('<') != std::string_view::npos || value.find('"') != std::string_view::npos ||
           value.find('&') != std::string_view::npos;
}

std::size_t FindSpecial(std::string_view value, std::size_t from) {
    for (std::size_t at = from; at < value.size(); ++at) {
        if (IsSpecial(value[at])) {
            return at;
        }
    }
    return std::string_view::npos;
}

}  // namespace

void AppendXmlEscaped(std::string_view value, std::string& out) {
    if (!HoldsSpecial(value)) {
        out.append(value);
        return;
    }
    std::size_t from = 0;
    for (std::size_t at = FindSpecial(value, 0); at != std::string_view::npos;
         at = FindSpecial(value, at + 1)) {
        std::string_view replacement;
        if (value[at] == '<') {
            replacement = "&lt;";
        } else if (value[at] == '"') {
            replacement = "&quot;";
        } else if (!BeginsKeptReference(value.substr(at + 1))) {
            replacement = "&amp;";
        } else {
            continue;
        }
        out.append(value, from, at - from);
        out.append(replacement);
        from = at + 1;
    }
    out.append(value, from);
}

std::string XmlEscaped(std::string_view value) {
    std::string escaped;
    AppendXmlEscaped(value, escaped);
    return escaped;
}

}  // namespace tamsel
