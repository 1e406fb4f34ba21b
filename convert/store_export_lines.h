#pragma once

// A browser store read as the bookmarks export its browser would write: its folders and
// bookmarks become the lines of a Chromium-style export, read as an export file's lines are,
// so that a store and its export can never give different links.

#include <string>
#include <string_view>

#include "convert/bookmark_store.h"
#include "support/line_splitter.h"

namespace tamsel {

// Hands `onLine` one export line per event, as Chromium's exporter writes them (without
// their indentation): a folder "<DT><H3>name</H3>" and "<DL><p>", its end "</DL><p>"; a
// bookmark "<DT><A HREF=\"url\" ADD_DATE=\"0\">title</A>". Texts are escaped as Chromium does
// ("&", "<", ">", '"' and "'" as "&amp;", "&lt;", "&gt;", "&quot;" and "&#39;"; in an address
// only '"'), and a CR or LF becomes a blank: a store's title is one line wherever it shows.
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
