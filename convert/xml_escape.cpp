#include "convert/xml_escape.h"

#include <algorithm>
#include <array>

namespace tamsel {

namespace {

// "#" digits ";" or "#x" hex digits ";", from just after the "&".
bool IsNumericReference(std::string_view rest) {
    if (rest.size() < 3 || rest[0] != '#') {
        return false;
    }
    const bool hex = rest[1] == 'x' || rest[1] == 'X';
    const std::size_t first = hex ? 2 : 1;
    const std::size_t end =
        rest.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789", first);
    return end != std::string_view::npos && end > first && rest[end] == ';';
}

// Whether the "&" that `rest` follows already begins a reference the menu can keep.
bool BeginsKeptReference(std::string_view rest) {
    static constexpr std::array<std::string_view, 5> kNamed = {"amp;", "lt;", "gt;", "quot;",
                                                               "apos;"};
    return std::any_of(kNamed.begin(), kNamed.end(),
                       [&](std::string_view name) { return rest.starts_with(name); }) ||
           IsNumericReference(rest);
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
    std::size_t from = 0;
    constexpr std::string_view kSpecial = "<\"&";
    for (std::size_t at = value.find_first_of(kSpecial); at != std::string_view::npos;
         at = value.find_first_of(kSpecial, at + 1)) {
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
