#pragma once

// Text in markup: escaping a value for the menu file (XML), and decoding the text of a
// bookmarks export (an HTML page) as a browser shows it.

#include <string>
#include <string_view>

namespace tamsel {

// Appends `value` to `out` with "<" as "&lt;", '"' as "&quot;" and "&" as "&amp;", except an
// "&" that already begins "&amp;", "&lt;", "&gt;", "&quot;", "&apos;" or a numeric reference
// ("&#" digits ";" or "&#x" hex digits ";", either case), so that text an export escaped is
// not escaped twice. ">" and "'" are legal where values go.
void AppendXmlEscaped(std::string_view value, std::string& out);

// The escaped value on its own.
std::string XmlEscaped(std::string_view value);

// `text` with "&amp;", "&lt;", "&gt;", "&quot;", "&apos;" and the numeric references
// replaced by what they stand for, the latter in UTF-8. A reference to no character (NUL, a
// surrogate, beyond U+10FFFF) and any other "&" stay as written.
std::string DecodedHtmlText(std::string_view text);

}  // namespace tamsel
