#pragma once

// The text of a bookmarks export (an HTML page): escaping it as a browser's exporter writes
// it, and reading it back as the browser shows it.

#include <string>
#include <string_view>

namespace tamsel {

// `text` as Chromium's exporter writes a title or a folder's name: "&", "<", ">", the double
// quote and "'" as "&amp;", "&lt;", "&gt;", "&quot;" and "&#39;".
std::string HtmlEscaped(std::string_view text);

// `text` as Chromium's exporter writes an address, inside the double quotes of HREF: only
// the double quote is escaped, as "&quot;".
std::string HtmlAttributeEscaped(std::string_view text);

// `text` with "&amp;", "&lt;", "&gt;", "&quot;", "&apos;" and the numeric references
// ("&#" digits ";", "&#x" hex digits ";") replaced by what they stand for, the latter in
// UTF-8. A reference to no character (NUL, a surrogate, beyond U+10FFFF) and any other "&"
// stay as written.
std::string DecodedHtmlText(std::string_view text);

}  // namespace tamsel
