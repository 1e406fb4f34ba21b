// A whole list, cut into lines by the line splitter in pieces of random sizes, cleaned and
// parsed line by line as the conversion run does.

#include <string>
#include <string_view>
#include <vector>

#include "convert/link_parser.h"
#include "fuzz_input.h"
#include "fuzz_targets.h"
#include "support/line_splitter.h"
#include "support/text.h"

namespace tamsel::fuzz {

namespace {

// Every break (CR LF, lone CR, lone LF) as one LF, without a final one: what the lines of
// `list` joined by LF must give.
std::string BreaksAsLf(std::string_view list) {
    std::string out;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == '\r') {
            out += '\n';
            if (i + 1 < list.size() && list[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += list[i];
        }
    }
    if (!out.empty() && out.back() == '\n') {
        out.pop_back();
    }
    return out;
}

std::vector<std::string> SplitInPieces(std::string_view list, FuzzInput& input) {
    std::vector<std::string> lines;
    LineSplitter splitter([&lines](std::string& line) { lines.push_back(line); });
    while (!list.empty()) {
        const std::size_t piece = std::min<std::size_t>(list.size(), 1 + input.Byte() % 64);
        splitter.Feed(list.substr(0, piece));
        list.remove_prefix(piece);
    }
    splitter.Finish();
    return lines;
}

void CheckLines(std::string_view list, const std::vector<std::string>& lines) {
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Expect(lines[i].find_first_of("\r\n") == std::string::npos, "a line holds a break");
        joined += (i == 0 ? "" : "\n") + lines[i];
    }
    const bool endsInEmptyLine = !lines.empty() && lines.back().empty();
    Expect(joined == BreaksAsLf(list) || (endsInEmptyLine && joined + "\n" == BreaksAsLf(list)),
           "the lines do not make up the list");
}

std::size_t Count(std::string_view text, std::string_view what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + what.size())) {
        ++count;
    }
    return count;
}

std::vector<std::string_view> Fields(std::string_view entry) {
    std::vector<std::string_view> fields;
    for (std::size_t tab = entry.find('\t'); tab != std::string_view::npos;
         tab = entry.find('\t')) {
        fields.push_back(entry.substr(0, tab));
        entry.remove_prefix(tab + 1);
    }
    fields.push_back(entry);
    return fields;
}

// No value holds a TAB (lines had theirs turned into blanks), so the TABs of the templates
// below split every item entry into its fields: a web address first, and an icon whenever
// the template with an icon was chosen. The key is checked in the query entries, which fill
// it alone: a title may hold a later placeholder, which then takes that value in the item.
void CheckItems(std::string_view items) {
    while (!items.empty()) {
        const std::size_t end = items.find("\r\n");
        Expect(end != std::string_view::npos, "an item entry without its CR LF");
        const std::vector<std::string_view> fields = Fields(items.substr(0, end));
        Expect(fields.size() == 3 || fields.size() == 4, "an item entry lost its shape");
        Expect(ToLowerAscii(fields[0].substr(0, 4)) == "http",
               "an item entry whose address is no web address");
        Expect(fields.size() == 3 || fields[1].size() > 1,
               "an entry with an icon but no icon name");
        items.remove_prefix(end + 2);
    }
}

// Every query entry is "Q", the link's key, which is never empty, and CR LF.
void CheckQueries(std::string_view queries) {
    while (!queries.empty()) {
        const std::size_t end = queries.find("\r\n");
        Expect(end != std::string_view::npos, "a query entry without its CR LF");
        Expect(end > 1 && queries.front() == 'Q', "a query entry with an empty key");
        queries.remove_prefix(end + 2);
    }
}

}  // namespace

int FuzzLinkParser(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::string list(input.Part());
    const std::vector<std::string> lines = SplitInPieces(list, input);
    CheckLines(list, lines);

    // Query entries end in CR LF and keys hold no break, so CR LF counts links in both.
    const ItemTemplates templates{"Q#LINKID#\r\n", "#LINKURL#\tI#LINKIMG#\t#LINKINFO#\tK#LINKID#",
                                  "#LINKURL#\tN\tK#LINKID#"};
    // Some keys have their own icon, decided by the key alone.
    const IconProbe hasIcon = [](const std::string& path) { return path.size() % 3 == 0; };
    LinkRecord record;
    std::string queryText;
    std::string itemText;
    std::string line;
    for (const std::string& raw : lines) {
        line = TrimBlanks(ReplaceText(raw, "\t", " "));
        ParseLinkLine(line, record, queryText, itemText, templates, "IMAGES/", hasIcon);
    }
    if (!line.empty()) {
        ParseLinkLine(line, record, queryText, itemText, templates, "IMAGES/", hasIcon);
    }

    Expect(Count(queryText, "\r\n") == Count(itemText, "\r\n"),
           "query and item entries differ in number");
    CheckItems(itemText);
    CheckQueries(queryText);
    return 0;
}

}  // namespace tamsel::fuzz

TAMSEL_FUZZ_ENTRY(tamsel::fuzz::FuzzLinkParser)
