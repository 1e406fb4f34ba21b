#pragma once

// A browser store read as the bookmarks export its browser would write for it: the store's
// folders and bookmarks become the lines of a Chromium-style export, which go through the
// same reading as the lines of an export file, so that a store and its export can never
// give different links.

#include <string>
#include <string_view>

#include "convert/bookmark_events.h"
#include "support/line_splitter.h"

namespace tamsel {

// Hands `onLine` one export line per event, as Chromium's exporter writes them (without
// their indentation):
//   a folder:   "<DT><H3>name</H3>" and "<DL><p>", its end "</DL><p>";
//   a bookmark: "<DT><A HREF=\"url\" ADD_DATE=\"0\">title</A>".
// Names and titles are escaped with HtmlEscaped, addresses with HtmlAttributeEscaped
// (html_text.h). A CR or LF inside a text becomes a blank, so that every event stays one
// line: a store's title is one line wherever the browser shows it.
class StoreExportLines final : public BookmarkEvents {
  public:
    explicit StoreExportLines(const LineHandler& onLine) : onLine_(onLine) {}

    void FolderOpened(std::string_view name) override;
    void FolderClosed() override;
    void Bookmark(std::string_view title, std::string_view url) override;

  private:
    const LineHandler& onLine_;
    std::string line_;  // reused from line to line
};

}  // namespace tamsel
