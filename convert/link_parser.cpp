#include "convert/link_parser.h"

#include <cstddef>

#include "convert/template_fill.h"
#include "support/text.h"

namespace tamsel {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kFallbackIcon = "network.png";

// One cut made by ExtractBetween: what lay between the delimiters and where the cut began
// (index into the line), so that a later step can look at what now follows that place.
struct Cut {
    bool found = false;
    std::string between;
    std::size_t at = 0;
};

// Whether `text` matches the pattern "\"*\"": at least two bytes, a double quote at each end.
bool IsQuoted(std::string_view text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

Cut CutBetween(std::string& line, std::string_view startDelimiter, std::string_view endDelimiter) {
    Cut cut;
    const std::size_t start = FindChunked(1, line, startDelimiter, CompareMode::Text);
    if (start == 0) {
        return cut;
    }
    const std::size_t after = start + startDelimiter.size();
    const std::size_t end = FindChunked(after, line, endDelimiter, CompareMode::Text);
    if (end == 0) {
        return cut;
    }
    cut.found = true;
    cut.at = start - 1;
    cut.between = line.substr(after - 1, end - after);
    if (IsQuoted(cut.between)) {
        cut.between = cut.between.substr(1, cut.between.size() - 2);
    }
    line.erase(start - 1, end + endDelimiter.size() - start);
    return cut;
}

constexpr std::string_view kAddressStart = "<A HREF=\"";

bool IsBookmark(std::string_view line) {
    return StartsWithIgnoringCase(TrimBlanks(line), kBookmarkStart);
}

// Whether `address` matches the pattern "http[s:]*", letter case counting.
bool IsWebAddress(std::string_view address) {
    return address.size() >= 5 && address.starts_with("http") &&
           (address[4] == 's' || address[4] == ':');
}

// Where "<A HREF=\"" first begins (counting from 1; 0 for nowhere) in a line that IsBookmark
// accepts: right behind its "<DT>" when a quote follows, as in every export, since nothing
// before that can begin it. Other lines are searched.
std::size_t AddressStart(std::string_view line) {
    const std::size_t lead = line.find_first_not_of(' ');
    if (lead != std::string_view::npos && lead + kBookmarkStart.size() < line.size() &&
        line[lead + kBookmarkStart.size()] == '"') {
        return lead + std::string_view("<DT>").size() + 1;
    }
    return FindChunked(1, line, kAddressStart, CompareMode::Text);
}

// Where the anchor tag closes, looking from the place the address was cut: the first ">"
// outside quoted attribute values, or npos when a "<" comes first or the tag never closes.
std::size_t TagEndAfter(const LineRest& line, std::size_t from) {
    bool quoted = false;
    for (std::size_t at = from; at < line.Size(); ++at) {
        const char c = line.At(at);
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == '>') {
            return at;
        } else if (!quoted && c == '<') {
            break;
        }
    }
    return LineRest::npos;
}

// Sets `title` to [from, to) of `line` without one pair of surrounding double quotes and
// without blanks at both ends.
void AssignTitle(std::string& title, const LineRest& line, std::size_t from, std::size_t to) {
    title.clear();
    line.AppendTo(title, from, to);
    if (IsQuoted(title)) {
        title.pop_back();
        title.erase(0, 1);
    }
    const std::size_t last = title.find_last_not_of(' ');
    title.resize(last == std::string::npos ? 0 : last + 1);
    title.erase(0, title.find_first_not_of(' '));  // npos, for an empty title, erases nothing
}

// The title of an anchor whose tag does not end in a quote and ">": one whose only
// attribute was HREF (its quote went with the address), or one written with a blank
// before ">" (ICON_URI="..." >). The title runs from the tag's ">" to the next "<" and is
// cut out of the line like the other extractions.
void TakeTitleAfterTag(LineRest& line, std::size_t cutAt, std::string& title) {
    title.clear();
    const std::size_t tagEnd = TagEndAfter(line, cutAt);
    if (tagEnd == LineRest::npos) {
        return;
    }
    const std::size_t end = line.Find('<', tagEnd + 1);
    if (end == LineRest::npos) {
        return;
    }
    AssignTitle(title, line, tagEnd + 1, end);
    if (!title.empty()) {  // an empty title leaves the line as it was
        line.Erase(tagEnd, end + 1);
    }
}

// Takes address and title from the bookmark line `line` into `record`, cutting both out of
// `rest` (which views `line` whole). False when the address is not a web address, in which
// case the record is left alone.
bool TakeBookmark(std::string_view line, LineRest& rest, LinkRecord& record) {
    const std::size_t start = AddressStart(line);
    if (start == 0) {
        return false;
    }
    const std::size_t after = start + kAddressStart.size();
    const std::size_t closing = line.find('"', after - 1);
    if (closing == std::string_view::npos) {
        return false;
    }
    const std::size_t end = closing + 1;
    // Up to the first quote after the opening one, so never quoted itself.
    std::string_view address = line.substr(after - 1, end - after);
    const std::size_t cutAt = start - 1;
    rest.Erase(cutAt, end);
    address = TrimBlanks(address);
    if (!IsWebAddress(address)) {
        return false;
    }
    record.Url.assign(address);
    const std::size_t titleStart = rest.FindPair("\">");
    const std::size_t titleEnd =
        titleStart == LineRest::npos ? LineRest::npos : rest.Find('<', titleStart + 2);
    if (titleEnd != LineRest::npos) {
        AssignTitle(record.Title, rest, titleStart + 2, titleEnd);
        rest.Erase(titleStart, titleEnd + 1);
    } else {
        TakeTitleAfterTag(rest, cutAt, record.Title);
    }
    record.Info.clear();
    record.lentInfo = {};
    return true;
}

// Empties every field but keeps its storage, so that collecting the next link does not
// allocate again.
void ClearRecord(LinkRecord& record) {
    record.Id.clear();
    record.Title.clear();
    record.Info.clear();
    record.Image.clear();
    record.Url.clear();
    record.lentInfo = {};
}

}  // namespace

void KeepLentInfo(LinkRecord& record) {
    if (!record.lentInfo.Empty()) {
        record.Info.clear();
        record.lentInfo.AppendTo(record.Info);
        record.lentInfo = {};
    }
}

void EmitPendingLink(LinkRecord& record, const PreparedTemplates& templates,
                     const std::string& imagesFolder, const IconProbe& hasIcon, LinkSink& sink) {
    if (record.Title.empty() || record.Url.empty()) {
        return;
    }
    KeepLentInfo(record);
    record.Id.assign(record.Title);  // Title with every blank removed, in the Id's own storage
    std::erase(record.Id, ' ');
    const PreparedTemplate* itemTemplate = &templates.NoImage;
    // A key that holds a separator names no file inside the icon folder; looking it up would
    // find files elsewhere ("../x" climbs out of the folder).
    const bool canNameIcon =
        record.Id.find('/') == std::string::npos && record.Id.find('\\') == std::string::npos;
    if (hasIcon && canNameIcon && hasIcon(imagesFolder + record.Id + ".png")) {
        itemTemplate = &templates.Image;
        record.Image = record.Id + ".png";
    } else if (!record.Info.empty()) {
        itemTemplate = &templates.Image;
        record.Image = kFallbackIcon;
    }
    sink.Emit(record, templates.Query, *itemTemplate);
    ClearRecord(record);
}

namespace {

// Appends every link's entries as they come.
class AppendingSink final : public LinkSink {
  public:
    AppendingSink(std::string& queryText, std::string& itemText)
        : queryText_(queryText), itemText_(itemText) {}

    void Emit(LinkRecord& record, const PreparedTemplate& query,
              const PreparedTemplate& item) override {
        query.AppendFilled(record, queryText_);
        item.AppendFilled(record, itemText_);
        itemText_ += kCrLf;
    }

  private:
    std::string& queryText_;
    std::string& itemText_;
};

// Whether the text, without blanks in front, begins with "http:" or "https:". Prefix tests
// on the line as it is: export lines are long, and lower-casing a copy of each would cost
// more than everything else done with it.
bool IsAddress(const LineRest& line) {
    std::size_t from = 0;
    while (from < line.Size() && line.At(from) == ' ') {
        ++from;
    }
    return line.StartsWithIgnoringCase(from, "http:") ||
           line.StartsWithIgnoringCase(from, "https:");
}

void ApplyPlainLine(const LineRest& line, LinkRecord& record, bool lendInfo) {
    if (IsAddress(line)) {
        line.AssignTrimmed(record.Url, 0, LineRest::npos);
        return;
    }
    const std::size_t semicolon = line.Find(';');
    if (semicolon != LineRest::npos) {
        line.AssignTrimmed(record.Title, 0, semicolon);
        record.Info.clear();
        record.lentInfo = line.Trimmed(semicolon + 1, LineRest::npos);
        if (!lendInfo) {
            KeepLentInfo(record);
        }
        return;
    }
    if (!line.Empty()) {
        record.Title.clear();
        line.AppendTo(record.Title);
        record.Info.clear();
        record.lentInfo = {};
    }
}

}  // namespace

void ParseLinkLine(std::string& line, LinkRecord& record, std::string& queryText,
                   std::string& itemText, const ItemTemplates& templates,
                   const std::string& imagesFolder, const IconProbe& hasIcon) {
    AppendingSink sink(queryText, itemText);
    std::string left = ParseLinkLine(std::string_view(line), record, PreparedTemplates(templates),
                                     imagesFolder, hasIcon, sink)
                           .Joined();
    line.swap(left);
}

LineRest ParseLinkLine(std::string_view line, LinkRecord& record,
                       const PreparedTemplates& templates, const std::string& imagesFolder,
                       const IconProbe& hasIcon, LinkSink& sink, bool lendInfo) {
    LineRest rest(line);
    if (IsBookmark(line)) {
        if (!TakeBookmark(line, rest, record)) {
            return rest;
        }
    } else if (line.starts_with('<')) {  // the pattern "<*"
        return rest;
    }
    EmitPendingLink(record, templates, imagesFolder, hasIcon, sink);
    ApplyPlainLine(rest, record, lendInfo);
    return rest;
}

std::string ExtractBetween(std::string& line, std::string_view startDelimiter,
                           std::string_view endDelimiter) {
    return CutBetween(line, startDelimiter, endDelimiter).between;
}

}  // namespace tamsel
