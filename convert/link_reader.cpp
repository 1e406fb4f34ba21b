#include "convert/link_reader.h"

#include <cstring>

#include "convert/folder_tracker.h"
#include "support/text.h"

namespace tamsel {

namespace {

// Where the next `tag` (any case, beginning with "<") at or after `from` begins, or npos.
// Looks only at the "<" of the line, which memchr finds quickly even in a line with a long
// embedded icon.
std::size_t FindTag(std::string_view line, std::size_t from, std::string_view tag) {
    while (from < line.size()) {
        const void* hit = std::memchr(line.data() + from, '<', line.size() - from);
        if (hit == nullptr) {
            return std::string_view::npos;
        }
        const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - line.data());
        if (StartsWithIgnoringCase(line.substr(at), tag)) {
            return at;
        }
        from = at + 1;
    }
    return std::string_view::npos;
}

// Reading an anchor whose HREF is not its first attribute, as Firefox writes its live
// bookmarks, like one whose HREF comes first. When `line`, upper-cased, begins with
// "<DT><A " but not "<DT><A HREF=": sets `out` to `line` with the first " HREF=\"" (any case)
// outside quoted values before the tag's end, from its blank to its closing quote, moved right
// behind "<A": <DT><A FEEDURL="f" HREF="u">T</A> becomes <DT><A HREF="u" FEEDURL="f">T</A>.
// False, `out` untouched, for any other line, and when there is no such attribute or its
// value has no closing quote.
bool MoveHrefFirst(std::string_view line, std::string& out) {
    constexpr std::string_view kAnchor = "<DT><A ";
    constexpr std::string_view kHref = " HREF=\"";
    // Every piece comes here, and most are bookmark lines with HREF first.
    if (!line.starts_with('<') || StartsWithIgnoringCase(line, kBookmarkStart) ||
        !StartsWithIgnoringCase(line, kAnchor)) {
        return false;
    }
    const std::size_t behindA = kAnchor.size() - 1;  // the blank after "<A"
    bool quoted = false;
    for (std::size_t at = behindA; at < line.size(); ++at) {
        if (!quoted && StartsWithIgnoringCase(line.substr(at), kHref)) {
            const std::size_t close = line.find('"', at + kHref.size());
            if (close == std::string_view::npos) {
                return false;
            }
            out.assign(line.substr(0, behindA))
                .append(line.substr(at, close + 1 - at))
                .append(line.substr(behindA, at - behindA))
                .append(line.substr(close + 1));
            return true;
        }
        if (line[at] == '"') {
            quoted = !quoted;
        } else if (!quoted && line[at] == '>') {
            return false;
        }
    }
    return false;
}

// Looks at the line's last "<" first: a bookmark line ends in "</A>", and searching from its
// start would pass its icon once more.
bool HoldsAnchorEnd(std::string_view line) {
    const std::size_t last = line.rfind('<');
    if (last == std::string_view::npos) {
        return false;
    }
    const std::string_view end = line.substr(last, 3);
    return end == "</A" || end == "</a" || FindTag(line, 0, "</A") != std::string_view::npos;
}

}  // namespace

void LinkReader::Feed(std::string_view line) {
    if (joining_) {
        GoOnJoining(line);
    } else {
        ReadLine(line);
    }
}

void LinkReader::ReadLine(std::string_view line) {
    const std::string_view last = ParseLeading(Cleaned(line));
    if (IsBookmarkLine(last) && !HoldsAnchorEnd(last)) {
        joining_ = true;
        joined_.assign(last);
        startSize_ = joined_.size();
        return;
    }
    Piece(last);
}

// Each line after the bookmark line either closes its title, goes on with it, or shows that
// the bookmark line stands alone after all.
void LinkReader::GoOnJoining(std::string_view line) {
    const std::string_view cleaned = Cleaned(line);
    following_.emplace_back(cleaned);
    if (cleaned.starts_with('<')) {
        GiveUpJoining();
        return;
    }
    if (!cleaned.empty()) {
        joined_.append(" ").append(cleaned);
    }
    if (HoldsAnchorEnd(cleaned)) {
        joining_ = false;
        following_.clear();
        Piece(ParseLeading(joined_));
    } else if (following_.size() == kMostTitleLines) {
        GiveUpJoining();
    }
}

// Reads the bookmark line and the lines held after it each on its own, as if no title had
// been looked for; any of them may begin a title of its own.
void LinkReader::GiveUpJoining() {
    joining_ = false;
    Piece(std::string_view(joined_).substr(0, startSize_));
    const std::vector<std::string> held = std::move(following_);
    following_.clear();
    for (const std::string& line : held) {
        Feed(line);
    }
}

// Parses every piece of the cleaned `text` but the last, which it returns with its HREF moved
// first, for the caller to parse.
std::string_view LinkReader::ParseLeading(std::string_view text) {
    std::size_t start = 0;
    for (std::size_t dt = FindTag(text, 1, "<DT>"); dt != std::string::npos;
         dt = FindTag(text, dt + 1, "<DT>")) {
        Piece(HrefFirst(TrimBlanks(text.substr(start, dt - start))));
        start = dt;
    }
    return HrefFirst(text.substr(start));
}

std::string_view LinkReader::HrefFirst(std::string_view piece) {
    return MoveHrefFirst(piece, moved_) ? std::string_view(moved_) : piece;
}

// The folder tags of a piece count after it is parsed, so that a bookmark followed on its
// line by the "</DL>" that ends its folder still belongs to that folder.
void LinkReader::Piece(std::string_view piece) {
    Parse(piece);
    if (folders_ != nullptr) {
        folders_->Read(piece);
    }
}

// Turns each TAB into one blank and trims blanks at both ends: the same as replacing TABs
// with ReplaceText and trimming. A line without TABs, an export line with its icon among
// them, is only viewed; TABs are found with memchr, since a byte loop over every line cost
// a third of a run.
std::string_view LinkReader::Cleaned(std::string_view line) {
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
// still a bookmark line is kept to be parsed again.
void LinkReader::KeepForFinish(std::string_view rest) {
    left_.clear();
    atFinish_ = AtFinish::Nothing;
    if (rest.empty()) {
        return;
    }
    if (rest.front() != '<') {
        atFinish_ = AtFinish::EmitPending;
    } else if (IsBookmarkLine(rest)) {
        left_.assign(rest);
        atFinish_ = AtFinish::ParseLeft;
    }
}

void LinkReader::Finish() {
    if (joining_) {
        GiveUpJoining();
    }
    if (atFinish_ == AtFinish::EmitPending) {
        EmitPendingLink(record_, templates_, imagesFolder_, hasIcon_, sink_);
    } else if (atFinish_ == AtFinish::ParseLeft) {
        ParseLinkLine(left_, record_, templates_, imagesFolder_, hasIcon_, sink_);
    }
    atFinish_ = AtFinish::Nothing;
}

// Only a bookmark line is cut, in a copy that the next one reuses; any other piece is read
// where it lies.
void LinkReader::Parse(std::string_view piece) {
    if (!IsBookmarkLine(piece)) {
        ParsePlainLine(piece, record_, templates_, imagesFolder_, hasIcon_, sink_);
        KeepForFinish(piece);
        return;
    }
    piece_.assign(piece);
    ParseLinkLine(piece_, record_, templates_, imagesFolder_, hasIcon_, sink_);
    KeepForFinish(piece_);
}

}  // namespace tamsel
