#include "support/line_splitter.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tamsel {

namespace {

// Lines up to this length grow in one reused buffer; longer ones are gathered in pieces.
constexpr std::size_t kLongLine = 1 << 20;

// The line breaks of one chunk, found with memchr (several times faster than a loop over
// the bytes). The next LF and the next CR are each remembered until passed, so no byte is
// scanned twice for the same character, and a text without CRs (or without LFs) is searched
// for them once per chunk, not once per line.
class BreakFinder {
  public:
    explicit BreakFinder(std::string_view chunk) : chunk_(chunk) {}

    // Index of the next CR or LF at or after `from`, or chunk.size().
    std::size_t Next(std::size_t from) {
        if (!known_ || nextLf_ < from) {
            nextLf_ = Find('\n', from, chunk_.size());
        }
        if (!known_ || nextCr_ < from) {
            nextCr_ = Find('\r', from, chunk_.size());
        }
        known_ = true;
        return std::min(nextLf_, nextCr_);
    }

  private:
    // Index of `c` in [from, end), or `end`.
    std::size_t Find(char c, std::size_t from, std::size_t end) const {
        const void* hit = std::memchr(chunk_.data() + from, c, end - from);
        return hit == nullptr
                   ? end
                   : static_cast<std::size_t>(static_cast<const char*>(hit) - chunk_.data());
    }

    std::string_view chunk_;
    std::size_t nextLf_ = 0;
    std::size_t nextCr_ = 0;
    bool known_ = false;
};

}  // namespace

LineSplitter::LineSplitter(LineHandler onLine) : onLine_(std::move(onLine)) {}

void LineSplitter::Feed(std::string_view chunk) {
    std::size_t pos = 0;
    // The LF of a CR LF whose CR closed the previous chunk belongs to a break already
    // delivered.
    if (afterCr_ && !chunk.empty()) {
        afterCr_ = false;
        if (chunk.front() == '\n') {
            pos = 1;
        }
    }
    BreakFinder breaks(chunk);
    while (pos < chunk.size()) {
        const std::size_t brk = breaks.Next(pos);
        if (brk == chunk.size()) {
            Gather(chunk.substr(pos));
            return;
        }
        if (gathering_) {
            Gather(chunk.substr(pos, brk - pos));
            DeliverGathered();
        } else {
            onLine_(chunk.substr(pos, brk - pos));
        }
        pos = brk + 1;
        if (chunk[brk] == '\r') {
            if (pos == chunk.size()) {
                afterCr_ = true;
            } else if (chunk[pos] == '\n') {
                ++pos;
            }
        }
    }
}

void LineSplitter::Gather(std::string_view part) {
    gathering_ = true;
    if (pieces_.empty() && line_.size() + part.size() <= kLongLine) {
        line_.append(part);
        return;
    }
    if (pieces_.empty()) {
        piecesSize_ = line_.size();
        pieces_.push_back(std::exchange(line_, std::string()));
    }
    piecesSize_ += part.size();
    pieces_.emplace_back(part);
}

void LineSplitter::Finish() {
    if (gathering_) {
        DeliverGathered();
    }
    afterCr_ = false;
}

void LineSplitter::DeliverGathered() {
    if (!pieces_.empty()) {
        // Each piece goes as soon as it is copied, so the join costs little more than the
        // line itself.
        line_.reserve(piecesSize_);
        for (std::string& piece : pieces_) {
            line_.append(piece);
            std::string().swap(piece);
        }
        std::vector<std::string>().swap(pieces_);  // its storage would pin the freed pieces
    }
    gathering_ = false;
    onLine_(line_);
    line_.clear();
    if (line_.capacity() > kLongLine) {
        std::string().swap(line_);  // a long line's room is not kept for the short ones
    }
}

}  // namespace tamsel
