#pragma once

// Follows a list's folders while it is read, so that links can be counted per folder and a run
// narrowed to one folder (RunPaths::folder) takes only that folder's.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "convert/list_folders.h"

namespace tamsel {

// The folders as a bookmarks export shows them, read from its pieces in list order (a store
// reads as its export too): a "<H3>" heading names a folder, which the "<DL>" after it opens
// and that "<DL>"'s matching "</DL>" closes. A "<DL>" without a heading only nests; an anchor
// ("<A ") or another heading in between leaves a heading without a folder; a "</DL>" with
// nothing open is passed over. A folder's name is the heading's text up to "</H3>" (or the
// piece's end), blanks trimmed and references decoded ("A &amp; B" is named "A & B").
//
// A folder's path is the names from the top joined by "/", "\" in a name written "\\" and
// "/" as "\/". The chosen folder is the first whose path is the chosen path, ASCII case
// ignored; in the chosen path "\/" and "\\" stand for "/" and "\", any other "\" for itself,
// and blanks around each name do not count.
class FolderTracker {
  public:
    // `chosen`: the path of the folder to take links from; empty for the whole list.
    explicit FolderTracker(std::string_view chosen = {});

    // Reads one piece's folder tags, after the piece was parsed: a link found in it belongs to
    // the folders open before it.
    void Read(std::string_view piece);

    // Counts a link just found in every folder open; whether a run takes it (always for the
    // whole list, else while the chosen folder is open).
    bool LinkFound();

    // Every folder met so far, in list order.
    const std::vector<ListFolder>& Folders() const { return folders_; }
    bool FoundChosen() const { return chosenFound_; }

  private:
    void Open();
    void Close();

    std::string chosen_;  // the chosen path as folder paths are written
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
