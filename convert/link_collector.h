#pragma once

// Turns the links of a list into their menu entries, deciding which links are added and
// under which id.

#include <cstddef>
#include <memory_resource>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "convert/link_parser.h"
#include "convert/link_reader.h"
#include "convert/link_record.h"
#include "convert/template_fill.h"

namespace tamsel {

class FolderTracker;
class MenuIndex;

// Each link gets a unique id, and a link already in the menu, or already added from the list,
// is skipped. For a link whose id would be X: the candidates are X, X_2, X_3 and so on. For
// each, both entries are built. If the item entry (TrimEntry, menu_index.h) is not empty and
// stands in the menu on lines of its own, or equals that of a link added before, the link is
// skipped. Otherwise, when the query template holds "#LINKID#" and the query entry (trimmed,
// not empty) stands in the menu on lines of its own or equals that of a link added before,
// the id is taken and the next candidate is tried; else the link is added under the
// candidate. The icon is chosen with X, before any of this.
class LinkCollector final : public LinkSink {
  public:
    // Links look for their own icon as `imagesFolder` + Id + ".png" through `hasIcon`.
    // `menu` is the menu the entries go into (none: an empty one); `onDecision`, when set,
    // hears of every link as it is added or skipped.
    LinkCollector(const ItemTemplates& templates, std::string imagesFolder, IconProbe hasIcon,
                  const MenuIndex* menu = nullptr, DecisionProbe onDecision = {});
    LinkCollector(const LinkCollector&) = delete;  // its reader views its members
    LinkCollector& operator=(const LinkCollector&) = delete;

    // As LinkReader's.
    void Feed(std::string_view line) { reader_.Feed(line); }
    void Finish() { reader_.Finish(); }

    // Follows the list's folders with `folders` from now on, and takes only the links that
    // it takes (FolderTracker::LinkFound); the others are not counted at all.
    void FollowFolders(FolderTracker& folders) {
        folders_ = &folders;
        reader_.FollowFolders(&folders);
    }

    // Adds one link, or skips it, as described above.
    void Emit(LinkRecord& record, const PreparedTemplate& query,
              const PreparedTemplate& item) override;

    // How many links were added, how many the list held, and how many were skipped.
    std::size_t LinkCount() const { return found_ - skipped_; }
    std::size_t FoundCount() const { return found_; }
    std::size_t SkippedCount() const { return skipped_; }

    // One query entry per link, in list order: kept in pieces of some megabytes, so that a
    // long list is never copied to grow one string. Join them in order.
    const std::vector<std::string>& QueryPieces() const { return queryPieces_; }

    // The item entries, each followed by CR LF, in list order, in pieces as the queries.
    const std::vector<std::string>& ItemPieces() const { return itemPieces_; }
    // The pieces joined.
    std::string QueryText() const;
    std::string ItemText() const;

  private:
    using EntrySet = std::pmr::unordered_set<std::string_view>;

    // An entry at the end of a block: the piece, where it begins there, the entry as
    // TrimEntry leaves it, and whether it was neither added nor in the menu before.
    struct Placed {
        std::string* piece;
        std::size_t at;
        std::string_view entry;
        bool fresh;
    };
    Placed Place(const PreparedTemplate& text, const LinkRecord& record,
                 std::vector<std::string>& pieces, std::size_t extra, EntrySet* added);
    void Withdraw(const Placed& placed, EntrySet& added);
    bool IsKnown(std::string_view entry, const EntrySet& added) const;
    bool ItemKnownBelow(LinkRecord& record, const PreparedTemplate& item, std::size_t limit);
    void Decide(bool added, std::string_view id, const LinkRecord& record) const;

    PreparedTemplates templates_;
    std::string imagesFolder_;
    IconProbe hasIcon_;
    std::vector<std::string> queryPieces_;
    std::vector<std::string> itemPieces_;
    const MenuIndex* menu_;
    FolderTracker* folders_ = nullptr;
    DecisionProbe onDecision_;
    // The trimmed entries added so far, viewing the pieces. Their nodes come from one pool
    // that is let go of at once: a long list frees a few hundred thousand of them.
    std::pmr::monotonic_buffer_resource pool_;
    EntrySet addedQueries_{&pool_};
    EntrySet addedItems_{&pool_};
    // The added item entries that hold suffix digits, by the std::hash of their SuffixShape.
    std::unordered_multimap<std::size_t, std::string_view> itemShapes_;
    // For an id whose candidates were tried beyond the first: the first candidate not known
    // to be taken. Every one below it is, and stays so.
    std::unordered_map<std::string, std::size_t> nextSuffix_;
    std::string unsuffixedId_;
    std::string scratch_;  // an entry being built
    std::size_t found_ = 0;
    std::size_t skipped_ = 0;
    LinkReader reader_{templates_, imagesFolder_, hasIcon_, *this};
};

}  // namespace tamsel
