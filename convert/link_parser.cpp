#include "convert/link_parser.h"

#include <algorithm>
#include <cstddef>

#include "convert/template_fill.h"
#include "support/text.h"

namespace tamsel {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Whether `text` matches the pattern "\"*\"": at least two bytes, a double quote at each end.
bool IsQuoted(std::string_view text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

constexpr std::string_view kAddressStart = "<A HREF=\"";

// Where "<A HREF=\"" first begins (counting from 1; 0 for nowhere) in a line that IsBookmarkLine
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
std::size_t TagEndAfter(std::string_view line, std::size_t from) {
    bool quoted = false;
    for (std::size_t at = from; at < line.size(); ++at) {
        const char c = line[at];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == '>') {
            return at;
        } else if (!quoted && c == '<') {
            break;
        }
    }
    return std::string_view::npos;
}

// Sets `title` to `text` without one pair of surrounding double quotes and outer blanks.
void AssignTitle(std::string& title, std::string_view text) {
    if (IsQuoted(text)) {
        text = text.substr(1, text.size() - 2);
    }
    title.assign(TrimBlanks(text));
}

// The title of an anchor whose tag does not end in a quote and ">" followed later by "<" (HREF
// its only attribute, a blank before ">", or a title not closed on its line): from the tag's
// ">" to the next "<" or the line's end, cut out of the line like the other extractions.
void TakeTitleAfterTag(std::string& line, std::size_t cutAt, std::string& title) {
    title.clear();
    const std::size_t tagEnd = TagEndAfter(line, cutAt);
    if (tagEnd == std::string::npos) {
        return;
    }
    const std::size_t end = std::min(line.find('<', tagEnd + 1), line.size());
    const std::size_t cutEnd = end == line.size() ? end : end + 1;
    AssignTitle(title, std::string_view(line).substr(tagEnd + 1, end - tagEnd - 1));
    if (!title.empty()) {  // an empty title leaves the line as it was
        line.erase(tagEnd, cutEnd - tagEnd);
    }
}

// Takes address and title from the bookmark line `line` into `record`, cutting both out of
// it. False when the address is not a web address, in which case the record is left alone.
bool TakeBookmark(std::string& line, LinkRecord& record) {
    const std::size_t start = AddressStart(line);
    if (start == 0) {
        return false;
    }
    const std::size_t from = start - 1 + kAddressStart.size();  // where the address begins
    const std::size_t closing = line.find('"', from);
    if (closing == std::string::npos) {
        return false;
    }
    // Up to the first quote after the opening one, so never quoted itself.
    const std::string_view address =
        TrimBlanks(std::string_view(line).substr(from, closing - from));
    if (!IsWebAddress(address)) {
        line.erase(start - 1, closing + 1 - (start - 1));
        return false;
    }
    record.Url.assign(address);
    line.erase(start - 1, closing + 1 - (start - 1));
    const std::size_t titleStart = line.find("\">");
    const std::size_t titleEnd =
        titleStart == std::string::npos ? std::string::npos : line.find('<', titleStart + 2);
    if (titleEnd != std::string::npos) {
        AssignTitle(record.Title,
                    std::string_view(line).substr(titleStart + 2, titleEnd - titleStart - 2));
        line.erase(titleStart, titleEnd + 1 - titleStart);
    } else {
        TakeTitleAfterTag(line, start - 1, record.Title);
    }
    // A browser shows a bookmark without a title by its address.
    if (record.Title.empty()) {
        record.Title = record.Url;
    }
    record.Info.clear();
    return true;
}

// Empties every field but keeps its storage, so that the next link does not allocate again.
void ClearRecord(LinkRecord& record) {
    record.Id.clear();
    record.Title.clear();
    record.Info.clear();
    record.Image.clear();
    record.Url.clear();
}

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

// Whether the text, without blanks in front, begins with "http:" or "https:"; tested in place,
// as lower-casing a copy of each long export line would cost more than all else done with it.
bool IsAddress(std::string_view line) {
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    return StartsWithIgnoringCase(line, "http:") || StartsWithIgnoringCase(line, "https:");
}

void ApplyPlainLine(std::string_view line, LinkRecord& record) {
    if (IsAddress(line)) {
        record.Url.assign(TrimBlanks(line));
        return;
    }
    const std::size_t semicolon = line.find(';');
    if (semicolon != std::string_view::npos) {
        record.Title.assign(TrimBlanks(line.substr(0, semicolon)));
        record.Info.assign(TrimBlanks(line.substr(semicolon + 1)));
        return;
    }
    if (!line.empty()) {
        record.Title.assign(line);
        record.Info.clear();
    }
}

}  // namespace

bool IsWebAddress(std::string_view address) {
    return address.size() >= 5 && address.starts_with("http") &&
           (address[4] == 's' || address[4] == ':');
}

void EmitPendingLink(LinkRecord& record, const PreparedTemplates& templates,
                     const std::string& imagesFolder, const IconProbe& hasIcon, LinkSink& sink) {
    if (record.Title.empty() || record.Url.empty()) {
        return;
    }
    record.Id.assign(record.Title);  // Title with every blank removed, in the Id's own storage
    std::erase(record.Id, ' ');
    const PreparedTemplate* itemTemplate = &templates.NoImage;
    // A key that holds a separator names no file inside the icon folder; looking it up would
    // find files elsewhere ("../x" climbs out of the folder).
    const bool canNameIcon = record.Id.find_first_of("/\\") == std::string::npos;
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

void ParseLinkLine(std::string& line, LinkRecord& record, std::string& queryText,
                   std::string& itemText, const ItemTemplates& templates,
                   const std::string& imagesFolder, const IconProbe& hasIcon) {
    AppendingSink sink(queryText, itemText);
    ParseLinkLine(line, record, PreparedTemplates(templates), imagesFolder, hasIcon, sink);
}

bool IsBookmarkLine(std::string_view line) {
    return StartsWithIgnoringCase(TrimBlanks(line), kBookmarkStart);
}

void ParseLinkLine(std::string& line, LinkRecord& record, const PreparedTemplates& templates,
                   const std::string& imagesFolder, const IconProbe& hasIcon, LinkSink& sink) {
    if (!IsBookmarkLine(line)) {
        ParsePlainLine(line, record, templates, imagesFolder, hasIcon, sink);
    } else if (TakeBookmark(line, record)) {
        EmitPendingLink(record, templates, imagesFolder, hasIcon, sink);
        ApplyPlainLine(line, record);
    }
}

void ParsePlainLine(std::string_view line, LinkRecord& record, const PreparedTemplates& templates,
                    const std::string& imagesFolder, const IconProbe& hasIcon, LinkSink& sink) {
    if (line.starts_with('<')) {  // the pattern "<*"
        return;
    }
    EmitPendingLink(record, templates, imagesFolder, hasIcon, sink);
    ApplyPlainLine(line, record);
}

std::string ExtractBetween(std::string& line, std::string_view startDelimiter,
                           std::string_view endDelimiter) {
    const std::size_t start = FindChunked(1, line, startDelimiter, CompareMode::Text);
    if (start == 0) {
        return {};
    }
    const std::size_t after = start + startDelimiter.size();
    const std::size_t end = FindChunked(after, line, endDelimiter, CompareMode::Text);
    if (end == 0) {
        return {};
    }
    std::string between = line.substr(after - 1, end - after);
    if (IsQuoted(between)) {
        between = between.substr(1, between.size() - 2);
    }
    line.erase(start - 1, end + endDelimiter.size() - start);
    return between;
}

}  // namespace tamsel
