#pragma once

// Reads a link list one line at a time, as it comes from the file, into links: cleans and
// cuts each line and hands every complete link to a sink. What becomes of the links is the
// sink's business (LinkCollector, link_collector.h).

#include <string>
#include <string_view>
#include <vector>

#include "convert/link_parser.h"
#include "convert/link_record.h"
#include "convert/template_fill.h"

namespace tamsel {

class FolderTracker;

class LinkReader {
  public:
    // The arguments are ParseLinkLine's and must outlive the reader.
    LinkReader(const PreparedTemplates& templates, const std::string& imagesFolder,
               const IconProbe& hasIcon, LinkSink& sink)
        : templates_(templates), imagesFolder_(imagesFolder), hasIcon_(hasIcon), sink_(sink) {}

    // Handles one line of the list without its break: TABs become blanks, blanks at both
    // ends go, and the line is cut in front of every "<DT>" (any case) that does not begin
    // it, so that a bookmark sharing its line with other tags ("<DL><p><DT><A HREF=...",
    // "<HR> <DT><A HREF=...", several bookmarks on one line) is read as a line of its own.
    // Each piece, trimmed and with its HREF moved first (MoveHrefFirst), goes
    // to ParseLinkLine in order. A title that runs over several lines is read whole: when the
    // last piece is a bookmark line without "</A" (any case), the following lines, each
    // cleaned the same way, are appended to it after one blank each, empty ones skipped, up to
    // the first that holds "</A"; the joined line is then cut and parsed as above (without
    // joining again). A following line that begins with "<", more than kMostTitleLines lines
    // without "</A", or the end of the list, joins nothing, and every line is read on its own
    // after all. The line need not outlive the call.
    void Feed(std::string_view line);

    // After the last line: parses what ParseLinkLine left of the last piece once more when
    // it is not empty, which emits a link still pending at the end of the list.
    void Finish();

    // Hands every piece, once parsed, to `folders` (none: to nothing).
    void FollowFolders(FolderTracker* folders) { folders_ = folders; }

    // How many lines after a bookmark line may end its title.
    static constexpr std::size_t kMostTitleLines = 64;

  private:
    void ReadLine(std::string_view line);
    void GoOnJoining(std::string_view line);
    void GiveUpJoining();
    std::string_view ParseLeading(std::string_view text);
    std::string_view HrefFirst(std::string_view piece);
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
    std::string moved_;    // a piece with its HREF moved first
    // A bookmark line whose title goes on in the lines after it, with those lines appended,
    // while it is not known yet whether they are joined; the lines as read, to be read on their
    // own if not.
    bool joining_ = false;
    std::string joined_;
    std::size_t startSize_ = 0;  // of the bookmark line at the start of `joined_`
    std::vector<std::string> following_;
    // What Finish does: what parsing the rest of the last piece once more would do.
    enum class AtFinish { Nothing, EmitPending, ParseLeft };
    AtFinish atFinish_ = AtFinish::Nothing;
    std::string left_;  // that rest, when it is parsed again
};

}  // namespace tamsel
