#pragma once

// Turns a link list, one line at a time, into links and builds each link's two menu
// entries. A hand-written list gives a title line (optionally "title;info") and an
// address line per link; a browser's bookmarks export gives one anchor line per bookmark.

#include <string>
#include <string_view>

#include "convert/link_record.h"
#include "convert/template_fill.h"

namespace tamsel {

// Handles one cleaned line (TABs turned into blanks, trimmed); LinkCollector (link_collector.h)
// cleans and cuts the lines of a whole list. Collects into `record`; once it holds a title and
// an address, appends one query entry to `queryText` and one item entry plus CR LF to
// `itemText` (values escaped for XML, see FillTemplate), and clears `record`. The link's own icon
// is `imagesFolder` + Id + ".png" when `hasIcon` says it exists (an empty probe finds none);
// otherwise a link with an info text gets "network.png" and one without gets no icon.
// A bookmark line ("<DT><A HREF=...") is emitted in its own call when its address begins with
// "https" or "http:" and its title is found; an anchor with HREF as its only attribute gives its
// title too. Lines that begin with "<" are otherwise skipped and never emit a pending link. Only a
// bookmark line changes `line`: what its address and title were cut from is left behind.
void ParseLinkLine(std::string& line, LinkRecord& record, std::string& queryText,
                   std::string& itemText, const ItemTemplates& templates,
                   const std::string& imagesFolder, const IconProbe& hasIcon);

// The same with the templates prepared once for a whole list (template_fill.h), which
// saves searching them for their placeholders once per link. The overload above prepares
// them for its one call.
void ParseLinkLine(std::string& line, LinkRecord& record, std::string& queryText,
                   std::string& itemText, const PreparedTemplates& templates,
                   const std::string& imagesFolder, const IconProbe& hasIcon);

// Returns the text between the first `startDelimiter` and the next `endDelimiter` after
// it (both searched ignoring ASCII case), without one pair of surrounding double quotes,
// and cuts the delimiters and the text between them out of `line`. When either delimiter
// is missing: an empty result and `line` unchanged.
std::string ExtractBetween(std::string& line, std::string_view startDelimiter,
                           std::string_view endDelimiter);

}  // namespace tamsel
