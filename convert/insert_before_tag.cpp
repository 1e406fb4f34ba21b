#include "convert/insert_before_tag.h"

#include <algorithm>
#include <cstddef>

#include "support/text.h"

namespace tamsel {

namespace {

// Index of the `occurrence`-th case-blind `tag` (each search one past the last hit), or npos.
std::size_t FindOccurrence(std::string_view text, std::string_view tag, int occurrence) {
    std::size_t hit = 0;
    for (int found = 0; found < occurrence; ++found) {
        hit = FindChunked(hit + 1, text, tag, CompareMode::Text);
        if (hit == 0) {
            return std::string_view::npos;
        }
    }
    return hit - 1;
}

// Index where the line holding `tagAt` begins, or npos when no usable line break precedes
// it. A break whose first character opens the text is not used, which keeps CR LF texts
// exactly as a CR LF-only splice has always treated them.
std::size_t LineStartBefore(std::string_view text, std::size_t tagAt) {
    const std::size_t last =
        tagAt == 0 ? std::string_view::npos : text.find_last_of("\r\n", tagAt - 1);
    if (last == std::string_view::npos) {
        return std::string_view::npos;
    }
    const bool crLf = text[last] == '\n' && last > 0 && text[last - 1] == '\r';
    const std::size_t breakStart = crLf ? last - 1 : last;
    return breakStart == 0 ? std::string_view::npos : last + 1;
}

// InsertionPoint of the pieces joined: the way for what the pieces alone cannot answer.
std::optional<std::size_t> InsertionPointJoined(std::string_view tag,
                                                std::span<const std::string_view> pieces) {
    std::string joined;
    for (std::string_view piece : pieces) {
        joined += piece;
    }
    return InsertionPoint(tag, joined, 1);
}

// Whether a tag runs across the end of `left` into `right`, both at least as long as the tag.
bool SpansPieces(std::string_view tag, std::string_view left, std::string_view right) {
    std::string seam(left.substr(left.size() - (tag.size() - 1)));
    seam += right.substr(0, tag.size() - 1);
    return FindChunked(1, seam, tag, CompareMode::Text) != 0;
}

}  // namespace

std::optional<std::size_t> InsertionPoint(std::string_view tag, std::string_view text,
                                          int occurrence) {
    if (occurrence < 1 || tag.empty()) {
        return std::nullopt;
    }
    const std::size_t tagAt = FindOccurrence(text, tag, occurrence);
    if (tagAt == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t lineStart = LineStartBefore(text, tagAt);
    return lineStart == std::string_view::npos ? std::nullopt : std::optional(lineStart);
}

std::optional<std::size_t> InsertionPoint(std::string_view tag,
                                          std::span<const std::string_view> pieces) {
    if (tag.empty() || std::any_of(pieces.begin(), pieces.end(), [&tag](std::string_view piece) {
            return piece.size() < tag.size();
        })) {
        return InsertionPointJoined(tag, pieces);
    }
    // A tag that lies whole in a piece comes before any that runs across its end.
    std::size_t base = 0;
    for (std::size_t i = 0; i < pieces.size(); base += pieces[i].size(), ++i) {
        const std::string_view piece = pieces[i];
        const std::size_t hit = FindChunked(1, piece, tag, CompareMode::Text);
        if (hit != 0) {
            // A break found in the piece, not at its start, is the one the whole text gives.
            const std::size_t lineStart = LineStartBefore(piece, hit - 1);
            if (lineStart == std::string_view::npos) {
                return InsertionPointJoined(tag, pieces);
            }
            return base + lineStart;
        }
        if (i + 1 < pieces.size() && SpansPieces(tag, piece, pieces[i + 1])) {
            return InsertionPointJoined(tag, pieces);
        }
    }
    return std::nullopt;
}

bool InsertBeforeTag(std::string_view tag, std::string& text, std::string_view block,
                     int occurrence) {
    const std::optional<std::size_t> at = InsertionPoint(tag, text, occurrence);
    if (!at) {
        return false;
    }
    // Built in fresh room rather than inserted: the menu with a long list's query entries is
    // tens of megabytes, and an insert would move its tail.
    std::string joined;
    joined.reserve(text.size() + block.size());
    joined.append(text, 0, *at).append(block).append(text, *at);
    text.swap(joined);
    return true;
}

}  // namespace tamsel
