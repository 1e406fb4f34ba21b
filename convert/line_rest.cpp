#include "convert/line_rest.h"

#include <algorithm>
#include <cstring>

#include "support/text.h"

namespace tamsel {

LineRest::LineRest(std::string_view line) : size_(line.size()) {
    if (!line.empty()) {
        parts_[0] = line;
        count_ = 1;
    }
}

char LineRest::At(std::size_t index) const {
    for (std::size_t i = 0; i < count_; ++i) {
        if (index < parts_[i].size()) {
            return parts_[i][index];
        }
        index -= parts_[i].size();
    }
    return '\0';
}

template <typename Visit>
bool LineRest::EachPiece(std::size_t from, std::size_t to, Visit visit) const {
    to = std::min(to, size_);
    std::size_t base = 0;
    for (std::size_t i = 0; i < count_ && from < to; base += parts_[i].size(), ++i) {
        const std::size_t end = base + parts_[i].size();
        if (from < end) {
            const std::size_t stop = std::min(to, end);
            if (!visit(parts_[i].substr(from - base, stop - from), from)) {
                return false;
            }
            from = stop;
        }
    }
    return true;
}

std::size_t LineRest::Find(char c, std::size_t from) const {
    std::size_t base = 0;
    for (std::size_t i = 0; i < count_; base += parts_[i].size(), ++i) {
        const std::string_view part = parts_[i];
        if (from >= base + part.size()) {
            continue;
        }
        const std::size_t start = from > base ? from - base : 0;
        const void* hit = std::memchr(part.data() + start, c, part.size() - start);
        if (hit != nullptr) {
            return base + static_cast<std::size_t>(static_cast<const char*>(hit) - part.data());
        }
    }
    return npos;
}

// Looks for the second byte: in a bookmark line, the ">" closing the tag comes up far less
// often than the quotes of its attributes.
std::size_t LineRest::FindPair(std::string_view pair, std::size_t from) const {
    if (from >= size_) {
        return npos;
    }
    for (std::size_t at = Find(pair[1], from + 1); at != npos; at = Find(pair[1], at + 1)) {
        if (At(at - 1) == pair[0]) {
            return at - 1;
        }
    }
    return npos;
}

void LineRest::Erase(std::size_t from, std::size_t to) {
    to = std::min(to, size_);
    if (from >= to) {
        return;
    }
    std::array<std::string_view, 4> kept{};
    std::size_t count = 0;
    std::size_t base = 0;
    for (std::size_t i = 0; i < count_; base += parts_[i].size(), ++i) {
        const std::string_view part = parts_[i];
        const std::size_t end = base + part.size();
        if (from > base) {  // what lies in front of the cut
            kept[count++] = part.substr(0, std::min(from, end) - base);
        }
        if (to < end) {  // what lies behind it
            kept[count++] = part.substr(std::max(to, base) - base);
        }
    }
    parts_ = kept;
    count_ = count;
    size_ -= to - from;
}

void LineRest::AppendTo(std::string& out, std::size_t from, std::size_t to) const {
    EachPiece(from, to, [&out](std::string_view piece, std::size_t) {
        out.append(piece);
        return true;
    });
}

bool LineRest::StartsWithIgnoringCase(std::size_t from, std::string_view prefix) const {
    if (prefix.empty()) {
        return true;
    }
    if (from >= size_ || prefix.size() > size_ - from) {
        return false;
    }
    return EachPiece(from, from + prefix.size(),
                     [from, prefix](std::string_view piece, std::size_t at) {
                         return tamsel::StartsWithIgnoringCase(
                             piece, {prefix.data() + (at - from), piece.size()});
                     });
}

LineRest LineRest::Trimmed(std::size_t from, std::size_t to) const {
    to = std::min(to, size_);
    while (from < to && At(from) == ' ') {
        ++from;
    }
    while (to > from && At(to - 1) == ' ') {
        --to;
    }
    // The views of what is kept, in one pass; no more than there were.
    LineRest trimmed;
    EachPiece(from, to, [&trimmed](std::string_view piece, std::size_t) {
        trimmed.parts_[trimmed.count_++] = piece;
        trimmed.size_ += piece.size();
        return true;
    });
    return trimmed;
}

void LineRest::AssignTrimmed(std::string& out, std::size_t from, std::size_t to) const {
    out.clear();
    Trimmed(from, to).AppendTo(out);
}

bool LineRest::SameViews(const LineRest& other) const {
    if (count_ != other.count_) {
        return false;
    }
    for (std::size_t i = 0; i < count_; ++i) {
        if (parts_[i].data() != other.parts_[i].data() ||
            parts_[i].size() != other.parts_[i].size()) {
            return false;
        }
    }
    return true;
}

std::string LineRest::Joined() const {
    std::string joined;
    joined.reserve(size_);
    AppendTo(joined);
    return joined;
}

}  // namespace tamsel
