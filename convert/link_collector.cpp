#include "convert/link_collector.h"

#include <algorithm>
#include <string>
#include <utility>

#include "convert/menu_index.h"

namespace tamsel {

namespace {

// The entries, the whole output of a long list, are kept in pieces of about this size: one
// string would be copied into fresh memory each time it doubled, and once more when spliced
// into the menu text.
constexpr std::size_t kPiece = 8 << 20;
constexpr std::size_t kPieceRoom = 64 << 10;  // a piece with less room left is full
constexpr std::string_view kCrLf = "\r\n";

// The last of `pieces`, or a new one when it is full.
std::string& PieceToFill(std::vector<std::string>& pieces) {
    if (pieces.empty() || pieces.back().capacity() - pieces.back().size() < kPieceRoom) {
        pieces.emplace_back().reserve(kPiece);
    }
    return pieces.back();
}

std::string Joined(const std::vector<std::string>& pieces) {
    std::string joined;
    for (const std::string& piece : pieces) {
        joined += piece;
    }
    return joined;
}

}  // namespace

LinkCollector::LinkCollector(const ItemTemplates& templates, std::string imagesFolder,
                             IconProbe hasIcon, const MenuIndex* menu, DecisionProbe onDecision)
    : templates_(templates),
      imagesFolder_(std::move(imagesFolder)),
      hasIcon_(std::move(hasIcon)),
      menu_(menu),
      onDecision_(std::move(onDecision)) {}

std::string LinkCollector::QueryText() const {
    return Joined(queryPieces_);
}

std::string LinkCollector::ItemText() const {
    return Joined(itemPieces_);
}

// The entries of each candidate are built in place at the end of the output and cut off
// again when the candidate is not used, so that the output is not copied.
void LinkCollector::Emit(LinkRecord& record, const PreparedTemplate& query,
                         const PreparedTemplate& item) {
    ++found_;
    unsuffixedId_.assign(record.Id);
    for (std::size_t n = 1;; ++n) {
        if (n > 1) {
            record.Id.assign(unsuffixedId_).append("_").append(std::to_string(n));
        }
        // The item's lookup starts waiting for memory while the query entry is built.
        std::string& items = PieceToFill(itemPieces_);
        const std::size_t itemAt = items.size();
        item.AppendFilled(record, items);
        const Built itemEntry = Trimmed(items, itemPieces_.size() - 1, itemAt);
        Prefetch(itemEntry, addedItems_);
        std::string& queries = PieceToFill(queryPieces_);
        const std::size_t queryAt = queries.size();
        query.AppendFilled(record, queries);
        const Built queryEntry =
            query.HoldsId() ? Trimmed(queries, queryPieces_.size() - 1, queryAt) : Built{};
        Prefetch(queryEntry, addedQueries_);
        if (IsKnown(itemEntry, addedItems_, itemPieces_)) {
            queries.resize(queryAt);
            items.resize(itemAt);
            ++skipped_;
            Decide(false, unsuffixedId_, record);
            return;
        }
        if (query.HoldsId()) {
            if (IsKnown(queryEntry, addedQueries_, queryPieces_)) {
                queries.resize(queryAt);
                items.resize(itemAt);
                continue;
            }
            Remember(queryEntry, addedQueries_);
        }
        Remember(itemEntry, addedItems_);
        items += kCrLf;
        Decide(true, record.Id, record);
        return;
    }
}

LinkCollector::Built LinkCollector::Trimmed(const std::string& text, std::size_t index,
                                            std::size_t from) const {
    Built built;
    built.entry = TrimEntry(std::string_view(text).substr(from));
    built.place = {index, static_cast<std::size_t>(built.entry.data() - text.data()),
                   built.entry.size()};
    if (!built.entry.empty()) {
        built.hash = HashOfText(built.entry);
        built.firstLineHash = menu_ != nullptr ? MenuIndex::FirstLineHash(built.entry) : 0;
    }
    return built;
}

// The lookups of both entries wait for memory together rather than one after the other.
void LinkCollector::Prefetch(const Built& built, const AddedEntries& added) const {
    if (!built.entry.empty()) {
        added.Prefetch(built.hash);
        if (menu_ != nullptr) {
            menu_->Prefetch(built.firstLineHash);
        }
    }
}

// An empty entry is never found, so that a template that gives one does not skip every link.
bool LinkCollector::IsKnown(const Built& built, const AddedEntries& added,
                            std::span<const std::string> texts) const {
    return !built.entry.empty() &&
           (added.Holds(built.entry, built.hash, texts) ||
            (menu_ != nullptr && menu_->HoldsOnOwnLines(built.entry, built.firstLineHash)));
}

void LinkCollector::Remember(const Built& built, AddedEntries& added) {
    if (!built.entry.empty()) {
        added.Add(built.hash, built.place);
    }
}

void LinkCollector::Decide(bool added, std::string_view id, const LinkRecord& record) const {
    if (onDecision_) {
        onDecision_(LinkDecision{added, id, record.Title, record.Url});
    }
}

}  // namespace tamsel
