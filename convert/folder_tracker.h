#pragma once

// Follows the folders of a list while it is read, so that the links found can be counted
// per folder and a run narrowed to one folder (RunPaths::folder) takes only that folder's.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "convert/list_folders.h"

namespace tamsel {

// The folders as a bookmarks export shows them, read from its pieces in list order (a
// browser store reads as its export too, store_export_lines.h): a "<H3>" heading names a
// folder, which the "<DL>" that follows it opens and that "<DL>"'s matching "</DL>" closes.
// A "<DL>" with no heading before it only nests; an anchor ("<A ") or another heading in
// between leaves a heading without a folder; a "</DL>" with nothing open is passed over.
// A folder's name is the heading's text up to "</H3>" (or the end of the piece), blanks
// trimmed and references decoded (DecodedHtmlText), so "A &amp; B" is named "A & B".
//
// A folder's path is the names from the top joined by "/", each name with "\" written as
// "\\" and "/" as "\/". The chosen folder is the first in list order whose path is the
// chosen path, letter case (ASCII) ignored; in the chosen path "\/" and "\\" stand for "/"
// and "\", any other "\" for itself, and blanks around each name do not count.
class FolderTracker {
  public:
    // `chosen`: the path of the folder to take links from; empty for the whole list.
    explicit FolderTracker(std::string_view chosen = {});

    // Reads the folder tags of one piece of the list, after the piece has been parsed: a
    // link found while parsing it belongs to the folders that were open before it.
    void Read(std::string_view piece);

    // A link was found now: counts it in every folder open. Whether a run takes it: always
    // for the whole list, else while the chosen folder is open.
    bool LinkFound();

    // Every folder met so far, in list order.
    const std::vector<ListFolder>& Folders() const { return folders_; }

    // Whether the chosen folder was met.
    bool FoundChosen() const { return chosenFound_; }

  private:
    void Open();
    void Close();

    std::string chosen_;  // the chosen path as folder paths are written, in lower case
    bool narrowed_;       // whether a folder was chosen
    std::vector<ListFolder> folders_;
    // What each "<DL>" still open opened: the index of its folder, or kNesting.
    static constexpr std::size_t kNesting = static_cast<std::size_t>(-1);
    std::vector<std::size_t> open_;
    std::string heading_;  // the name of a heading waiting for its "<DL>"
    bool headingWaits_ = false;
    bool chosenFound_ = false;
    std::size_t chosenLevel_ = 0;  // open_.size() while the chosen folder is open, else 0
};

}  // namespace tamsel
