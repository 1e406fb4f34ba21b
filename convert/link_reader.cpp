#include "convert/link_reader.h"

#include <cstring>

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

void LinkReader::Feed(std::string_view line, bool keptForNext) {
    const LineRest lentBefore = record_.lentInfo;
    const std::string_view cleaned = Cleaned(line);
    std::size_t start = 0;
    for (std::size_t dt = FindDt(cleaned, 1); dt != std::string::npos;
         dt = FindDt(cleaned, dt + 1)) {
        Parse(TrimBlanks(cleaned.substr(start, dt - start)));
        start = dt;
    }
    KeepForFinish(Parse(cleaned.substr(start)));
    KeepInfoBeyond(lentBefore, keptForNext);
}

// The record may go on reading its info text in place only from this line, only while the
// line stays, and not when Finish is to read it. An info text still lent from the line
// before (`lentBefore`) goes with that line once this call returns.
void LinkReader::KeepInfoBeyond(const LineRest& lentBefore, bool keptForNext) {
    const LineRest& lent = record_.lentInfo;
    if (!lent.Empty() && (!keptForNext || readsCleaned_ || atFinish_ != AtFinish::Nothing ||
                          lent.SameViews(lentBefore))) {
        KeepLentInfo(record_);
    }
}

// Turns each TAB into one blank and trims blanks at both ends: the same as replacing TABs
// with ReplaceText and trimming. A line without TABs, an export line with its icon among
// them, is only viewed; TABs are found with memchr, since a byte loop over every line cost
// a third of a run.
std::string_view LinkReader::Cleaned(std::string_view line) {
    const void* hit = std::memchr(line.data(), '\t', line.size());
    readsCleaned_ = hit != nullptr;
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
void LinkReader::KeepForFinish(const LineRest& rest) {
    left_.clear();
    atFinish_ = AtFinish::Nothing;
    if (rest.Empty()) {
        return;
    }
    if (rest.At(0) != '<') {
        atFinish_ = AtFinish::EmitPending;
        return;
    }
    if (rest.StartsWithIgnoringCase(0, kBookmarkStart)) {
        rest.AppendTo(left_);
        atFinish_ = AtFinish::ParseLeft;
    }
}

void LinkReader::Finish() {
    if (atFinish_ == AtFinish::EmitPending) {
        EmitPendingLink(record_, templates_, imagesFolder_, hasIcon_, sink_);
    } else if (atFinish_ == AtFinish::ParseLeft) {
        Parse(left_);
        KeepLentInfo(record_);  // left_ is cleared by the next line
    }
    atFinish_ = AtFinish::Nothing;
}

LineRest LinkReader::Parse(std::string_view piece) {
    return ParseLinkLine(piece, record_, templates_, imagesFolder_, hasIcon_, sink_, true);
}

}  // namespace tamsel
