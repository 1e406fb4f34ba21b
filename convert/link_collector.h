#pragma once

// Reads a link list, one line at a time as it comes from the file, into the menu entries of
// its links: the one owner of the record, the prepared templates and the two blocks of
// entries while a list is read.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "convert/link_parser.h"
#include "convert/link_record.h"
#include "convert/template_fill.h"

namespace tamsel {

class LinkCollector {
  public:
    // Links look for their own icon as `imagesFolder` + Id + ".png" through `hasIcon`.
    LinkCollector(const ItemTemplates& templates, std::string imagesFolder, IconProbe hasIcon);

    // Handles one line of the list without its break: TABs become blanks, blanks at both
    // ends go, and the line is cut in front of every "<DT>" (any case) that does not begin
    // it, so that a bookmark sharing its line with other tags ("<DL><p><DT><A HREF=...",
    // "<HR> <DT><A HREF=...", several bookmarks on one line) is read as a line of its own.
    // Each piece, trimmed, goes to ParseLinkLine in order.
    void Feed(std::string_view line);

    // Feed for a line the caller gives up: it is cleaned in its own storage and taken over
    // (`line` is left with other contents), so a line of any length is never copied.
    void Take(std::string& line);

    // After the last line: parses what ParseLinkLine left of the last piece once more when
    // it is not empty, which emits a link still pending at the end of the list.
    void Finish();

    // How many links were emitted.
    std::size_t linkCount() const { return links_; }

    // One query entry per link, in list order.
    const std::string& queryText() const { return queryText_; }

    // The item entries, each followed by CR LF, in list order: kept in pieces of about a
    // megabyte, so that a long list is never copied to grow one string. Join them in order.
    const std::vector<std::string>& itemPieces() const { return itemPieces_; }

    // The item pieces joined.
    std::string itemText() const;

  private:
    void ParseLine();
    std::string& ItemsToFill();
    void Parse(std::string& piece);

    PreparedTemplates templates_;
    std::string imagesFolder_;
    IconProbe hasIcon_;
    LinkRecord record_;
    std::string queryText_;
    std::vector<std::string> itemPieces_;
    std::size_t links_ = 0;
    std::string line_;   // the line being read; after the last piece, what the parser left of it
    std::string piece_;  // a piece cut from the front of a line
};

}  // namespace tamsel
