#include "convert/link_collector.h"

#include <algorithm>
#include <functional>
#include <string>
#include <utility>

#include "convert/folder_tracker.h"
#include "convert/menu_index.h"
#include "support/large_pages.h"

namespace tamsel {

namespace {

// The entries, the whole output of a long list, are kept in pieces of about this size: one
// string would be copied into fresh memory each time it doubled, and once more when spliced
// into the menu text. Each is filled once from start to end, in large pages where the system
// has them: at 100,000 bookmarks the faults of filling 4 KiB pages were a fifth of the run.
constexpr std::size_t kPiece = 8 << 20;
constexpr std::string_view kCrLf = "\r\n";

// The last of `pieces` when it has room for `size` more bytes, else a new one: a piece never
// grows beyond the room it was given, so views of the entries in it stay valid.
std::string& RoomFor(std::vector<std::string>& pieces, std::size_t size) {
    if (pieces.empty() || pieces.back().capacity() - pieces.back().size() < size) {
        std::string& piece = pieces.emplace_back();
        piece.reserve(std::max(kPiece, size));
        AdviseLargePages(piece.data(), piece.capacity());
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

// `out` becomes the template filled for `record`; the entry is what TrimEntry leaves of it.
std::string_view Filled(const PreparedTemplate& text, const LinkRecord& record, std::string& out) {
    out.clear();
    text.AppendFilled(record, out);
    return TrimEntry(out);
}

// `id` becomes candidate `n` for the id `unsuffixed`: the id itself, then id_2, id_3, ...
void SetCandidate(std::string& id, const std::string& unsuffixed, std::size_t n) {
    id.assign(unsuffixed);
    if (n > 1) {
        id.append("_").append(std::to_string(n));
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t HashOfShape(std::string_view text) {
    return std::hash<std::string>{}(SuffixShape(text));
}

}  // namespace

LinkCollector::LinkCollector(const ItemTemplates& templates, std::string imagesFolder,
                             IconProbe hasIcon, const MenuIndex* menu, DecisionProbe onDecision)
    : templates_(templates),
      imagesFolder_(std::move(imagesFolder)),
      hasIcon_(std::move(hasIcon)),
      menu_(menu),
      onDecision_(std::move(onDecision)) {
    addedQueries_.max_load_factor(0.25f);
    addedItems_.max_load_factor(0.25f);
}

std::string LinkCollector::QueryText() const {
    return Joined(queryPieces_);
}

std::string LinkCollector::ItemText() const {
    return Joined(itemPieces_);
}

// The candidates are tried in turn. An id tried beyond its first candidate before starts
// where it stopped, since every candidate below that is taken; only an item entry known
// under one of those could still skip the link, and ItemKnownBelow looks for that.
void LinkCollector::Emit(LinkRecord& record, const PreparedTemplate& query,
                         const PreparedTemplate& item) {
    // A link outside the chosen folder is not the run's at all: no id, no decision, no count.
    if (folders_ != nullptr && !folders_->LinkFound()) {
        return;
    }
    ++found_;
    unsuffixedId_.assign(record.Id);
    std::size_t n = 1;
    if (const auto next = nextSuffix_.find(unsuffixedId_); next != nextSuffix_.end()) {
        n = next->second;
        if (ItemKnownBelow(record, item, n)) {
            ++skipped_;
            Decide(false, unsuffixedId_, record);
            return;
        }
    }
    for (;; ++n) {
        SetCandidate(record.Id, unsuffixedId_, n);
        const Placed itemEntry = Place(item, record, itemPieces_, kCrLf.size(), &addedItems_);
        if (!itemEntry.fresh) {
            if (n > 1) {
                nextSuffix_.insert_or_assign(unsuffixedId_, n);
            }
            ++skipped_;
            Decide(false, unsuffixedId_, record);
            return;
        }
        if (Place(query, record, queryPieces_, 0, query.HoldsId() ? &addedQueries_ : nullptr)
                .fresh) {
            *itemEntry.piece += kCrLf;
            if (HoldsSuffixDigits(itemEntry.entry)) {
                itemShapes_.emplace(HashOfShape(itemEntry.entry), itemEntry.entry);
            }
            break;
        }
        Withdraw(itemEntry, addedItems_);
    }
    if (n > 1) {
        nextSuffix_.insert_or_assign(unsuffixedId_, n + 1);
    }
    Decide(true, record.Id, record);
}

// The entry goes to the end of the block at once, so that one insertion both looks it up
// among the added ones and adds it; one that is known already is cut off again. Without
// `added` the entry is only appended.
LinkCollector::Placed LinkCollector::Place(const PreparedTemplate& text, const LinkRecord& record,
                                           std::vector<std::string>& pieces, std::size_t extra,
                                           EntrySet* added) {
    Filled(text, record, scratch_);
    std::string& piece = RoomFor(pieces, scratch_.size() + extra);
    Placed placed{&piece, piece.size(), {}, true};
    piece += scratch_;
    if (added == nullptr) {
        return placed;
    }
    placed.entry = TrimEntry(std::string_view(piece).substr(placed.at));
    // An empty entry is never found, so that a template that gives one does not skip every
    // link, and never added.
    if (!placed.entry.empty() && (!added->insert(placed.entry).second ||
                                  (menu_ != nullptr && menu_->HoldsOnOwnLines(placed.entry)))) {
        Withdraw(placed, *added);
        placed.fresh = false;
    }
    return placed;
}

// Undoes Place: the entry, if it was added, is known no more, and its text is cut off.
void LinkCollector::Withdraw(const Placed& placed, EntrySet& added) {
    if (const auto found = added.find(placed.entry);
        found != added.end() && found->data() == placed.entry.data()) {
        added.erase(found);
    }
    placed.piece->resize(placed.at);
}

// An empty entry is never found, so that a template that gives one does not skip every link.
bool LinkCollector::IsKnown(std::string_view entry, const EntrySet& added) const {
    return !entry.empty() &&
           (added.contains(entry) || (menu_ != nullptr && menu_->HoldsOnOwnLines(entry)));
}

// Whether the item entry of one of the candidates below `limit` is known. Candidate 1 is
// looked up. The entries of candidates 2 and on differ only in the suffix's digits, so an
// added entry or a menu line can be one of them only when it has their SuffixShape and reads
// like them up to those digits, which then tell the candidate to look up.
bool LinkCollector::ItemKnownBelow(LinkRecord& record, const PreparedTemplate& item,
                                   std::size_t limit) {
    SetCandidate(record.Id, unsuffixedId_, 1);
    if (IsKnown(Filled(item, record, scratch_), addedItems_)) {
        return true;
    }
    if (limit <= 2 || !item.HoldsId()) {
        return false;
    }
    SetCandidate(record.Id, unsuffixedId_, 3);
    const std::string third(Filled(item, record, scratch_));
    SetCandidate(record.Id, unsuffixedId_, 2);
    const std::string second(Filled(item, record, scratch_));
    const auto digitsAt = static_cast<std::size_t>(
        std::mismatch(second.begin(), second.end(), third.begin()).first - second.begin());
    // Whether `text` begins with the entry of a known candidate: its digits are read one
    // more at a time, each number read being a candidate.
    const auto holdsKnown = [&](std::string_view text) {
        if (text.substr(0, digitsAt) != std::string_view(second).substr(0, digitsAt) ||
            text.substr(digitsAt).starts_with('0')) {
            return false;
        }
        std::size_t n = 0;
        for (std::size_t at = digitsAt; at < text.size() && IsDigit(text[at]); ++at) {
            n = n * 10 + static_cast<std::size_t>(text[at] - '0');
            if (n >= limit) {
                return false;
            }
            SetCandidate(record.Id, unsuffixedId_, n);
            if (n >= 2 && IsKnown(Filled(item, record, scratch_), addedItems_)) {
                return true;
            }
        }
        return false;
    };
    const auto [first, last] = itemShapes_.equal_range(HashOfShape(second));
    if (std::any_of(first, last, [&](const auto& added) { return holdsKnown(added.second); })) {
        return true;
    }
    if (menu_ == nullptr) {
        return false;
    }
    // A menu entry begins at a line that holds its first line.
    const std::string_view firstLine = FirstLineOf(second);
    return digitsAt < firstLine.size()
               ? menu_->AnyLineFrom(SuffixShape(firstLine), true, holdsKnown)
               : menu_->AnyLineFrom(firstLine, false, holdsKnown);
}

void LinkCollector::Decide(bool added, std::string_view id, const LinkRecord& record) const {
    if (onDecision_) {
        onDecision_(LinkDecision{added, id, record.Title, record.Url});
    }
}

}  // namespace tamsel
