#pragma once

// Turns a link list, one line at a time, into links and builds each link's two menu
// entries. A hand-written list gives a title line (optionally "title;info") and an
// address line per link; a browser's bookmarks export gives one anchor line per bookmark.

#include <string>
#include <string_view>

#include "convert/link_record.h"
#include "convert/template_fill.h"

namespace tamsel {

// What a bookmark line begins with, behind blanks and in any letter case.
inline constexpr std::string_view kBookmarkStart = "<DT><A HREF=";

// Receives each complete link from ParseLinkLine: the record with its Id (Title without
// blanks) and Image set, and the templates its entries are made from: `query` and the item
// template chosen for its icon.
class LinkSink {
  public:
    virtual void Emit(LinkRecord& record, const PreparedTemplate& query,
                      const PreparedTemplate& item) = 0;

  protected:
    ~LinkSink() = default;
};

// Handles one cleaned line (TABs turned into blanks, trimmed); LinkReader (link_reader.h)
// cleans and cuts the lines of a whole list. Collects into `record`; once it holds a title and
// an address, hands it to `sink` and clears it. The link's own icon is `imagesFolder` + Id +
// ".png" when `hasIcon` says it exists (an empty probe finds none); otherwise a link with an
// info text gets "network.png" and one without gets no icon.
// A bookmark line ("<DT><A HREF=...") is emitted in its own call when its address begins with
// "https" or "http:". Its title runs from the anchor tag's end to the next "<", or to the end of
// the line when none follows; an anchor with HREF as its only attribute gives its title too. A
// bookmark without a title (also one of "\"\"") is named by its address. Lines that begin with
// "<" are otherwise skipped and never emit a pending link.
// `line` becomes what is left of it: a bookmark line without what its address and title were
// cut from, any other line whole.
void ParseLinkLine(std::string& line, LinkRecord& record, const PreparedTemplates& templates,
                   const std::string& imagesFolder, const IconProbe& hasIcon, LinkSink& sink);

// Hands the link collected in `record` to `sink` when it holds a title and an address, and
// clears it; the first step ParseLinkLine takes for a line that is no bookmark line and does
// not begin with "<".
void EmitPendingLink(LinkRecord& record, const PreparedTemplates& templates,
                     const std::string& imagesFolder, const IconProbe& hasIcon, LinkSink& sink);

// ParseLinkLine of a line that is no bookmark line (IsBookmarkLine), which it leaves whole, so
// that it can be read where it lies.
void ParsePlainLine(std::string_view line, LinkRecord& record, const PreparedTemplates& templates,
                    const std::string& imagesFolder, const IconProbe& hasIcon, LinkSink& sink);

// Whether ParseLinkLine reads `line` as a bookmark line: without blanks in front, it begins
// with kBookmarkStart in any letter case.
bool IsBookmarkLine(std::string_view line);

// The same, appending for each link one query entry to `queryText` and one item entry plus
// CR LF to `itemText` (values escaped for XML, see FillTemplate), whatever they already hold.
// `line` becomes what is left of it.
void ParseLinkLine(std::string& line, LinkRecord& record, std::string& queryText,
                   std::string& itemText, const ItemTemplates& templates,
                   const std::string& imagesFolder, const IconProbe& hasIcon);

// Returns the text between the first `startDelimiter` and the next `endDelimiter` after
// it (both searched ignoring ASCII case), without one pair of surrounding double quotes,
// and cuts the delimiters and the text between them out of `line`. When either delimiter
// is missing: an empty result and `line` unchanged.
std::string ExtractBetween(std::string& line, std::string_view startDelimiter,
                           std::string_view endDelimiter);

}  // namespace tamsel
