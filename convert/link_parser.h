#pragma once

// Turns a link list, one line at a time, into links and builds each link's two menu
// entries. A hand-written list gives a title line (optionally "title;info") and an
// address line per link; a browser's bookmarks export gives one anchor line per bookmark.

#include <string>
#include <string_view>

#include "convert/link_record.h"
#include "convert/template_fill.h"

namespace tamsel {

// The icon of a link with an info text and no icon of its own, in the images folder.
inline constexpr std::string_view kFallbackIcon = "network.png";

// What a bookmark line begins with, behind blanks and in any letter case.
inline constexpr std::string_view kBookmarkStart = "<DT><A HREF=";

// Receives each complete link from ParseLinkLine, with its Id (Title without blanks) and Image
// set, and the query template and the item template chosen for its icon.
class LinkSink {
  public:
    virtual void Emit(LinkRecord& record, const PreparedTemplate& query,
                      const PreparedTemplate& item) = 0;

  protected:
    ~LinkSink() = default;
};

// Handles one cleaned line (TABs turned into blanks, trimmed; LinkReader, link_reader.h, cleans
// and cuts a whole list's lines), collecting into `record`; once it holds a title and an
// address, hands it to `sink` and clears it. The link's icon is `imagesFolder` + Id + ".png"
// when `hasIcon` finds it (an empty probe finds none), else kFallbackIcon for a link with an
// info text, else none. A bookmark line ("<DT><A HREF=...") is emitted in its own call when its
// address IsWebAddress; its title runs from the anchor tag's end to the next "<" or the line's
// end, and a bookmark without one (also one of "\"\"") is named by its address. Other lines
// that begin with "<" are skipped and never emit a pending link. `line` becomes what is left
// of it: a bookmark line without its address and title, any other line whole.
void ParseLinkLine(std::string& line, LinkRecord& record, const PreparedTemplates& templates,
                   const std::string& imagesFolder, const IconProbe& hasIcon, LinkSink& sink);

// Hands the link in `record` to `sink` when it holds a title and an address, and clears it.
void EmitPendingLink(LinkRecord& record, const PreparedTemplates& templates,
                     const std::string& imagesFolder, const IconProbe& hasIcon, LinkSink& sink);

// ParseLinkLine of a line that is no bookmark line, read where it lies.
void ParsePlainLine(std::string_view line, LinkRecord& record, const PreparedTemplates& templates,
                    const std::string& imagesFolder, const IconProbe& hasIcon, LinkSink& sink);

// Whether a bookmark's address makes a link: it matches "http[s:]*", letter case counting.
bool IsWebAddress(std::string_view address);

// Whether `line`, without blanks in front, begins with kBookmarkStart in any letter case.
bool IsBookmarkLine(std::string_view line);

// The same, appending for each link one query entry to `queryText` and one item entry plus CR
// LF to `itemText` (values escaped for XML, see FillTemplate).
void ParseLinkLine(std::string& line, LinkRecord& record, std::string& queryText,
                   std::string& itemText, const ItemTemplates& templates,
                   const std::string& imagesFolder, const IconProbe& hasIcon);

// The text between the first `startDelimiter` and the next `endDelimiter` (both ignoring ASCII
// case), without one pair of surrounding double quotes, cut out of `line` with the delimiters.
// Empty, `line` unchanged, when either is missing.
std::string ExtractBetween(std::string& line, std::string_view startDelimiter,
                           std::string_view endDelimiter);

}  // namespace tamsel
