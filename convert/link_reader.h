#pragma once

// Reads a link list one line at a time, as it comes from the file, into links: cleans and
// cuts each line and hands every complete link to a sink. What becomes of the links is the
// sink's business (LinkCollector, link_collector.h).

#include <string>
#include <string_view>

#include "convert/link_parser.h"
#include "convert/link_record.h"
#include "convert/template_fill.h"

namespace tamsel {

class FolderTracker;

class LinkReader {
  public:
    // The arguments are ParseLinkLine's and must outlive the reader.
    LinkReader(const PreparedTemplates& templates, const std::string& imagesFolder,
               const IconProbe& hasIcon, LinkSink& sink);

    // Handles one line of the list without its break: TABs become blanks, blanks at both
    // ends go, and the line is cut in front of every "<DT>" (any case) that does not begin
    // it, so that a bookmark sharing its line with other tags ("<DL><p><DT><A HREF=...",
    // "<HR> <DT><A HREF=...", several bookmarks on one line) is read as a line of its own.
    // Each piece, trimmed, goes to ParseLinkLine in order. The line need not outlive the
    // call.
    void Feed(std::string_view line);

    // After the last line: parses what ParseLinkLine left of the last piece once more when
    // it is not empty, which emits a link still pending at the end of the list.
    void Finish();

    // Hands every piece, once parsed, to `folders` (none: to nothing).
    void FollowFolders(FolderTracker* folders) { folders_ = folders; }

  private:
    std::string_view Cleaned(std::string_view line);
    void Piece(std::string_view piece);
    void Parse(std::string_view piece);
    void KeepForFinish(std::string_view rest);

    const PreparedTemplates& templates_;
    const std::string& imagesFolder_;
    const IconProbe& hasIcon_;
    LinkSink& sink_;
    FolderTracker* folders_ = nullptr;
    LinkRecord record_;
    std::string cleaned_;  // a line with TABs, turned into blanks
    std::string piece_;    // a bookmark line being cut
    // What Finish does: what parsing the rest of the last piece once more would do.
    enum class AtFinish { Nothing, EmitPending, ParseLeft };
    AtFinish atFinish_ = AtFinish::Nothing;
    std::string left_;  // that rest, when it is parsed again
};

}  // namespace tamsel
