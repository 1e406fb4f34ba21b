#include "convert/store_export_lines.h"

#include <algorithm>

#include "convert/markup_text.h"

namespace tamsel {

namespace {

// `text` escaped by `escape`, appended to `line` as one line.
template <typename Escape>
void AppendOneLine(std::string_view text, Escape escape, std::string& line) {
    std::string escaped = escape(text);
    std::replace_if(
        escaped.begin(), escaped.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    line += escaped;
}

}  // namespace

void StoreExportLines::FolderOpened(std::string_view name) {
    line_ = "<DT><H3>";
    AppendOneLine(name, HtmlEscaped, line_);
    line_ += "</H3>";
    onLine_(line_);
    onLine_("<DL><p>");
}

void StoreExportLines::FolderClosed() {
    onLine_("</DL><p>");
}

void StoreExportLines::Bookmark(std::string_view title, std::string_view url) {
    line_ = "<DT><A HREF=\"";
    AppendOneLine(url, HtmlAttributeEscaped, line_);
    line_ += "\" ADD_DATE=\"0\">";
    AppendOneLine(title, HtmlEscaped, line_);
    line_ += "</A>";
    onLine_(line_);
}

}  // namespace tamsel
