#include "convert/link_parser.h"

#include <cstddef>

#include "convert/template_fill.h"
#include "support/text.h"
#include "support/wildcard.h"

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
    if (MatchWildcard(cut.between, "\"*\"")) {
        cut.between = cut.between.substr(1, cut.between.size() - 2);
    }
    line.erase(start - 1, end + endDelimiter.size() - start);
    return cut;
}

bool IsAddress(std::string_view line) {
    // Prefix tests on the line as it is: export lines are long, and lower-casing a copy of
    // each would cost more than everything else done with it.
    const std::string_view trimmed = TrimBlanks(line);
    return StartsWithIgnoringCase(trimmed, "http:") || StartsWithIgnoringCase(trimmed, "https:");
}

bool IsBookmark(std::string_view line) {
    return StartsWithIgnoringCase(TrimBlanks(line), "<DT><A HREF=");
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

// The title of an anchor whose tag does not end in a quote and ">": one whose only
// attribute was HREF (its quote went with the address), or one written with a blank
// before ">" (ICON_URI="..." >). The title runs from the tag's ">" to the next "<" and is
// cut out of the line like the other extractions.
std::string TitleAfterTag(std::string& line, std::size_t cutAt) {
    const std::size_t tagEnd = TagEndAfter(line, cutAt);
    if (tagEnd == std::string_view::npos) {
        return {};
    }
    const std::size_t end = line.find('<', tagEnd + 1);
    if (end == std::string::npos) {
        return {};
    }
    std::string_view between = std::string_view(line).substr(tagEnd + 1, end - tagEnd - 1);
    if (MatchWildcard(between, "\"*\"")) {
        between = between.substr(1, between.size() - 2);
    }
    std::string title(TrimBlanks(between));
    if (title.empty()) {
        return title;  // an empty title leaves the line as it was
    }
    line.erase(tagEnd, end + 1 - tagEnd);
    return title;
}

// Takes address and title from a bookmark line into `record`. False when the address is
// not a web address, in which case the record is left alone.
bool TakeBookmark(std::string& line, LinkRecord& record) {
    const Cut address = CutBetween(line, "<A HREF=\"", "\"");
    const std::string url(TrimBlanks(address.between));
    if (!MatchWildcard(url, "http[s:]*")) {
        return false;
    }
    record.Url = url;
    const Cut title = CutBetween(line, "\">", "<");
    record.Title =
        title.found ? std::string(TrimBlanks(title.between)) : TitleAfterTag(line, address.at);
    record.Info.clear();
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
}

void EmitIfComplete(LinkRecord& record, const PreparedTemplates& templates,
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

void ApplyPlainLine(std::string_view line, LinkRecord& record) {
    if (IsAddress(line)) {
        record.Url = TrimBlanks(line);
        return;
    }
    const std::size_t semicolon = line.find(';');
    if (semicolon != std::string_view::npos) {
        record.Title = TrimBlanks(line.substr(0, semicolon));
        record.Info = TrimBlanks(line.substr(semicolon + 1));
        return;
    }
    if (!line.empty()) {
        record.Title = line;
        record.Info.clear();
    }
}

}  // namespace

void ParseLinkLine(std::string& line, LinkRecord& record, std::string& queryText,
                   std::string& itemText, const ItemTemplates& templates,
                   const std::string& imagesFolder, const IconProbe& hasIcon) {
    AppendingSink sink(queryText, itemText);
    ParseLinkLine(line, record, PreparedTemplates(templates), imagesFolder, hasIcon, sink);
}

void ParseLinkLine(std::string& line, LinkRecord& record, const PreparedTemplates& templates,
                   const std::string& imagesFolder, const IconProbe& hasIcon, LinkSink& sink) {
    if (IsBookmark(line)) {
        if (!TakeBookmark(line, record)) {
            return;
        }
    } else if (line.starts_with('<')) {  // the pattern "<*"
        return;
    }
    EmitIfComplete(record, templates, imagesFolder, hasIcon, sink);
    ApplyPlainLine(line, record);
}

std::string ExtractBetween(std::string& line, std::string_view startDelimiter,
                           std::string_view endDelimiter) {
    return CutBetween(line, startDelimiter, endDelimiter).between;
}

}  // namespace tamsel
