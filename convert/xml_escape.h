#pragma once

// Making a value safe to place inside a menu file's attribute values and element text.

#include <string>
#include <string_view>

namespace tamsel {

// Appends `value` to `out` with "<" as "&lt;", a double quote as "&quot;" and "&" as
// "&amp;", except an "&" that already begins "&amp;", "&lt;", "&gt;", "&quot;", "&apos;" or
// a numeric character reference ("&#" digits ";" or "&#x" hex digits ";", either case):
// those stay, so that text a bookmarks export escaped is not escaped twice. Nothing else
// changes; ">" and "'" are legal where values go.
void AppendXmlEscaped(std::string_view value, std::string& out);

// The escaped value on its own.
std::string XmlEscaped(std::string_view value);

}  // namespace tamsel
