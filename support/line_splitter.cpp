#include "support/line_splitter.h"

#include <utility>

namespace tamsel {

namespace {

// Index of the next CR or LF at or after `from`, or chunk.size(). A plain loop: the
// general find_first_of costs several times as much for a two-character set.
std::size_t FindBreak(std::string_view chunk, std::size_t from) {
    while (from < chunk.size() && chunk[from] != '\r' && chunk[from] != '\n') {
        ++from;
    }
    return from;
}

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
    while (pos < chunk.size()) {
        const std::size_t brk = FindBreak(chunk, pos);
        if (brk == chunk.size()) {
            line_.append(chunk.substr(pos));
            return;
        }
        line_.append(chunk.substr(pos, brk - pos));
        Deliver();
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

void LineSplitter::Finish() {
    if (!line_.empty()) {
        Deliver();
    }
    afterCr_ = false;
}

void LineSplitter::Deliver() {
    onLine_(line_);
    line_.clear();
}

}  // namespace tamsel
