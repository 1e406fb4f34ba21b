#include "convert/store_export_lines.h"

#include <algorithm>

#include "convert/markup_text.h"

namespace tamsel {

namespace {

// Appends `escaped` to `line` as one line.
void AppendOneLine(std::string escaped, std::string& line) {
    std::replace_if(
        escaped.begin(), escaped.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    line += escaped;
}

}  // namespace

void StoreExportLines::FolderOpened(std::string_view name) {
    line_ = "<DT><H3>";
    AppendOneLine(HtmlEscaped(name), line_);
    line_ += "</H3>";
    onLine_(line_);
    onLine_("<DL><p>");
}

void StoreExportLines::FolderClosed() {
    onLine_("</DL><p>");
}

void StoreExportLines::Bookmark(std::string_view title, std::string_view url) {
    line_ = "<DT><A HREF=\"";
    AppendOneLine(HtmlAttributeEscaped(url), line_);
    line_ += "\" ADD_DATE=\"0\">";
    AppendOneLine(HtmlEscaped(title), line_);
    line_ += "</A>";
    onLine_(line_);
}

}  // namespace tamsel
