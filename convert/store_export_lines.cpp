#include "convert/store_export_lines.h"

#include <array>

namespace tamsel {

namespace {

// A title's or a folder name's escapes; an address, inside HREF's quotes, escapes only '"'.
constexpr std::string_view kTextEscapes = "&<>\"'";

// Appends `text` to `line` with each of `escaped` written as Chromium's exporter does.
void AppendEscaped(std::string_view text, std::string_view escaped, std::string& line) {
    constexpr std::array<std::string_view, 5> kReferences = {"&amp;", "&lt;", "&gt;", "&quot;",
                                                             "&#39;"};
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            line += ' ';
        } else if (escaped.find(c) != std::string_view::npos) {
            line += kReferences[kTextEscapes.find(c)];
        } else {
            line += c;
        }
    }
}

}  // namespace

void StoreExportLines::FolderOpened(std::string_view name) {
    line_ = "<DT><H3>";
    AppendEscaped(name, kTextEscapes, line_);
    line_ += "</H3>";
    onLine_(line_);
    onLine_("<DL><p>");
}

void StoreExportLines::FolderClosed() {
    onLine_("</DL><p>");
}

void StoreExportLines::Bookmark(std::string_view title, std::string_view url) {
    line_ = "<DT><A HREF=\"";
    AppendEscaped(url, "\"", line_);
    line_ += "\" ADD_DATE=\"0\">";
    AppendEscaped(title, kTextEscapes, line_);
    line_ += "</A>";
    onLine_(line_);
}

}  // namespace tamsel
