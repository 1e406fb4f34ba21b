#include "convert/link_collector.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "convert/menu_index.h"
#include "support/large_pages.h"
#include "support/text.h"

namespace tamsel {

namespace {

// The item entries, nearly the whole output of a long list, are kept in pieces of about
// this size: one string would be copied into fresh memory each time it doubled, and once
// more when spliced into the menu text. A piece is large enough to hold whole large pages.
constexpr std::size_t kItemPiece = 4 * kLargePage - (4 << 10);
constexpr std::size_t kItemRoom = 64 << 10;   // a piece with less room left is full
constexpr std::size_t kQueryStart = 1 << 20;  // the query entries' first room; it doubles
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kBookmarkStart = "<DT><A HREF=";

// Where the next "<DT>" (any case) at or after `from` begins, or npos. Looks only at the
// "<" of the line, which memchr finds quickly even in a line with a long embedded icon.
std::size_t FindDt(std::string_view line, std::size_t from) {
    while (from < line.size()) {
        const void* hit = std::memchr(line.data() + from, '<', line.size() - from);
        if (hit == nullptr) {
            return std::string_view::npos;
        }
        const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - line.data());
        if (StartsWithIgnoringCase(line.substr(at), "<DT>")) {
            return at;
        }
        from = at + 1;
    }
    return std::string_view::npos;
}

}  // namespace

LinkCollector::LinkCollector(const ItemTemplates& templates, std::string imagesFolder,
                             IconProbe hasIcon, const MenuIndex* menu, DecisionProbe onDecision)
    : templates_(templates),
      imagesFolder_(std::move(imagesFolder)),
      hasIcon_(std::move(hasIcon)),
      menu_(menu),
      onDecision_(std::move(onDecision)) {}

void LinkCollector::Feed(std::string_view line) {
    const std::string_view cleaned = Cleaned(line);
    std::size_t start = 0;
    for (std::size_t dt = FindDt(cleaned, 1); dt != std::string::npos;
         dt = FindDt(cleaned, dt + 1)) {
        Parse(TrimBlanks(cleaned.substr(start, dt - start)));
        start = dt;
    }
    KeepForFinish(Parse(cleaned.substr(start)));
}

// Turns each TAB into one blank and trims blanks at both ends: the same as replacing TABs
// with ReplaceText and trimming. A line without TABs, an export line with its icon among
// them, is only viewed; TABs are found with memchr, since a byte loop over every line cost
// a third of a run.
std::string_view LinkCollector::Cleaned(std::string_view line) {
    const void* hit = std::memchr(line.data(), '\t', line.size());
    if (hit == nullptr) {
        return TrimBlanks(line);
    }
    cleaned_.assign(line);  // into the storage of the line before
    char* const begin = cleaned_.data();
    const std::size_t size = cleaned_.size();
    for (char* tab = begin + (static_cast<const char*>(hit) - line.data()); tab != nullptr;) {
        *tab = ' ';
        tab = static_cast<char*>(
            std::memchr(tab + 1, '\t', size - static_cast<std::size_t>(tab + 1 - begin)));
    }
    return TrimBlanks(cleaned_);
}

// Parsing a rest again changes nothing when it begins with "<" and is no bookmark line, which
// is what export lines leave. For a rest that does not begin with "<" it emits the pending
// link and then sets fields of a record no one reads any more. Only the rare rest that is
// still a bookmark line is copied to be parsed again.
void LinkCollector::KeepForFinish(const LineRest& rest) {
    left_.clear();
    atFinish_ = AtFinish::Nothing;
    if (rest.Empty()) {
        return;
    }
    if (rest.At(0) != '<') {
        atFinish_ = AtFinish::EmitPending;
        return;
    }
    std::string head;  // short enough to need no allocation
    rest.AppendTo(head, 0, kBookmarkStart.size());
    if (StartsWithIgnoringCase(head, kBookmarkStart)) {
        rest.AppendTo(left_);
        atFinish_ = AtFinish::ParseLeft;
    }
}

void LinkCollector::Finish() {
    if (atFinish_ == AtFinish::EmitPending) {
        EmitPendingLink(record_, templates_, imagesFolder_, hasIcon_, *this);
    } else if (atFinish_ == AtFinish::ParseLeft) {
        Parse(left_);
    }
    atFinish_ = AtFinish::Nothing;
}

std::string LinkCollector::ItemText() const {
    std::string joined;
    for (const std::string& piece : itemPieces_) {
        joined += piece;
    }
    return joined;
}

std::string& LinkCollector::ItemsToFill() {
    if (itemPieces_.empty() ||
        itemPieces_.back().capacity() - itemPieces_.back().size() < kItemRoom) {
        ReserveLarge(itemPieces_.emplace_back(), kItemPiece);
    }
    return itemPieces_.back();
}

LineRest LinkCollector::Parse(std::string_view piece) {
    return ParseLinkLine(piece, record_, templates_, imagesFolder_, hasIcon_, *this);
}

// The entries of each candidate are built in place at the end of the output and cut off
// again when the candidate is not used, so that the output is not copied.
void LinkCollector::Emit(LinkRecord& record, const PreparedTemplate& query,
                         const PreparedTemplate& item) {
    ++found_;
    if (queryText_.capacity() - queryText_.size() < kItemRoom) {
        ReserveLarge(queryText_, std::max(2 * queryText_.capacity(), kQueryStart));
    }
    unsuffixedId_.assign(record.Id);
    const std::span<const std::string> queries(&queryText_, 1);
    for (std::size_t n = 1;; ++n) {
        if (n > 1) {
            record.Id.assign(unsuffixedId_).append("_").append(std::to_string(n));
        }
        // The item's lookup starts waiting for memory while the query entry is built.
        std::string& items = ItemsToFill();
        const std::size_t itemAt = items.size();
        item.AppendFilled(record, items);
        const Built itemEntry = Trimmed(items, itemPieces_.size() - 1, itemAt);
        Prefetch(itemEntry, addedItems_);
        const std::size_t queryAt = queryText_.size();
        query.AppendFilled(record, queryText_);
        const Built queryEntry = query.HoldsId() ? Trimmed(queryText_, 0, queryAt) : Built{};
        Prefetch(queryEntry, addedQueries_);
        if (IsKnown(itemEntry, addedItems_, itemPieces_)) {
            queryText_.resize(queryAt);
            items.resize(itemAt);
            ++skipped_;
            Decide(false, unsuffixedId_, record);
            return;
        }
        if (query.HoldsId()) {
            if (IsKnown(queryEntry, addedQueries_, queries)) {
                queryText_.resize(queryAt);
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
