// A whole list, decoded and cut into lines in pieces of random sizes, then read line by line
// by the reader the conversion run uses.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "convert/link_collector.h"
#include "fuzz_input.h"
#include "fuzz_targets.h"
#include "support/line_splitter.h"
#include "support/text.h"
#include "support/text_decoder.h"

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

std::string DecodedWhole(std::string_view list) {
    TextDecoder decoder;
    std::string text(decoder.Decode(list));
    return text + std::string(decoder.Finish());
}

// As the file system reads a list: decoded and split in chunks, here of random sizes.
std::vector<std::string> SplitInPieces(std::string_view list, FuzzInput& input) {
    std::vector<std::string> lines;
    LineSplitter splitter([&lines](std::string_view line) { lines.emplace_back(line); });
    TextDecoder decoder;
    while (!list.empty()) {
        const std::size_t piece = std::min<std::size_t>(list.size(), 1 + input.Byte() % 64);
        splitter.Feed(decoder.Decode(list.substr(0, piece)));
        list.remove_prefix(piece);
    }
    splitter.Feed(decoder.Finish());
    splitter.Finish();
    return lines;
}

// `text` is the list decoded in one piece: chunks must not change what it decodes to.
void CheckLines(std::string_view text, const std::vector<std::string>& lines) {
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Expect(lines[i].find_first_of("\r\n") == std::string::npos, "a line holds a break");
        joined += (i == 0 ? "" : "\n") + lines[i];
    }
    const bool endsInEmptyLine = !lines.empty() && lines.back().empty();
    Expect(joined == BreaksAsLf(text) || (endsInEmptyLine && joined + "\n" == BreaksAsLf(text)),
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

// Values go in escaped and the templates below hold no markup, so an entry holds no "<", no
// double quote and no "&" that does not begin a reference.
void CheckEscaped(std::string_view entry) {
    Expect(entry.find_first_of("<\"") == std::string_view::npos, "an unescaped < or quote");
    for (std::size_t at = entry.find('&'); at != std::string_view::npos;
         at = entry.find('&', at + 1)) {
        const std::size_t end = entry.find(';', at);
        Expect(end != std::string_view::npos && end > at + 1 &&
                   entry.substr(at + 1, end - at - 1).find_first_of(" &") == std::string_view::npos,
               "an & that begins no reference");
    }
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
// the template with an icon was chosen. The key is checked in the query entries.
void CheckItems(std::string_view items) {
    while (!items.empty()) {
        const std::size_t end = items.find("\r\n");
        Expect(end != std::string_view::npos, "an item entry without its CR LF");
        const std::vector<std::string_view> fields = Fields(items.substr(0, end));
        Expect(fields.size() == 3 || fields.size() == 4, "an item entry lost its shape");
        Expect(StartsWithIgnoringCase(fields[0], "http"),
               "an item entry whose address is no web address");
        Expect(fields.size() == 3 || fields[1].size() > 1,
               "an entry with an icon but no icon name");
        CheckEscaped(items.substr(0, end));
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
    CheckLines(DecodedWhole(list), lines);

    // Query entries end in CR LF and keys hold no break, so CR LF counts links in both.
    const ItemTemplates templates{"Q#LINKID#\r\n", "#LINKURL#\tI#LINKIMG#\t#LINKINFO#\tK#LINKID#",
                                  "#LINKURL#\tN\tK#LINKID#"};
    // Some keys have their own icon, decided by the key alone.
    const IconProbe hasIcon = [](const std::string& path) { return path.size() % 3 == 0; };
    LinkCollector links(templates, "IMAGES/", hasIcon);
    for (const std::string& line : lines) {
        links.Feed(line);
    }
    links.Finish();
    const std::string& queryText = links.QueryText();
    const std::string itemText = links.ItemText();

    Expect(Count(queryText, "\r\n") == links.LinkCount(), "links miscounted");
    Expect(Count(queryText, "\r\n") == Count(itemText, "\r\n"),
           "query and item entries differ in number");
    CheckItems(itemText);
    CheckQueries(queryText);
    return 0;
}

}  // namespace tamsel::fuzz

TAMSEL_FUZZ_ENTRY(tamsel::fuzz::FuzzLinkParser)
