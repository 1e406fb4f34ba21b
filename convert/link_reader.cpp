#include "convert/link_reader.h"

#include <cstring>

#include "convert/folder_tracker.h"
#include "support/text.h"

namespace tamsel {

namespace {

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

LinkReader::LinkReader(const PreparedTemplates& templates, const std::string& imagesFolder,
                       const IconProbe& hasIcon, LinkSink& sink)
    : templates_(templates), imagesFolder_(imagesFolder), hasIcon_(hasIcon), sink_(sink) {}

void LinkReader::Feed(std::string_view line) {
    const std::string_view cleaned = Cleaned(line);
    std::size_t start = 0;
    for (std::size_t dt = FindDt(cleaned, 1); dt != std::string::npos;
         dt = FindDt(cleaned, dt + 1)) {
        Piece(TrimBlanks(cleaned.substr(start, dt - start)));
        start = dt;
    }
    Piece(cleaned.substr(start));
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
