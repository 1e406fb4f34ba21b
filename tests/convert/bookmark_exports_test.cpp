// Real bookmark exports converted end to end, checked against what a plain pattern over the
// file's lines finds, with the differences that the line rules explain written out.

#include <gtest/gtest.h>

#include <cctype>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "convert/conversion_run.h"
#include "convert/xml_escape.h"
#include "run_setup.h"

namespace tamsel {
namespace {

using test::ReadFixture;
using test::RunSetup;

struct Entry {
    std::string url;
    std::string title;
    bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& entry, std::ostream* out) {
    *out << entry.url << " | " << entry.title;
}

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? ""
                                      : text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

// Drops every ICON="..." value: icons hold up to 70 KB of base64 that a backtracking
// pattern need not walk through, and no title or address lies inside one.
std::string WithoutIcons(std::string line) {
    for (std::size_t at = line.find(" ICON=\""); at != std::string::npos;
         at = line.find(" ICON=\"", at + 1)) {
        const std::size_t end = line.find('"', at + 7);
        if (end == std::string::npos) {
            break;
        }
        line.erase(at, end + 1 - at);
    }
    return line;
}

// Every `<DT><A HREF="http...">title</A>` of the file, in file order, found anywhere in a
// line, titles trimmed. Lines end at LF; a CR before it is dropped.
std::vector<Entry> AnchorsByPattern(const std::string& file) {
    static const std::regex anchor(R"re(<DT><A HREF="(https?:[^"]*)"[^>]*>([^<]*)</A>)re");
    std::vector<Entry> entries;
    std::size_t start = 0;
    while (start < file.size()) {
        std::size_t end = file.find('\n', start);
        if (end == std::string::npos) {
            end = file.size();
        }
        std::string line = file.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        line = WithoutIcons(line);
        for (std::sregex_iterator it(line.begin(), line.end(), anchor), last; it != last; ++it) {
            entries.push_back({(*it)[1], Trim((*it)[2])});
        }
        start = end + 1;
    }
    return entries;
}

// Converts the export with templates that give one "address TAB title" line per link.
std::vector<Entry> Convert(const std::string& fixture) {
    RunSetup setup;
    setup.temp().copyFixture(fixture, "list.txt");
    setup.writeTemplates("q", "#LINKURL#\t#LINKTITLE#", "#LINKURL#\t#LINKTITLE#");
    setup.writeMenu("M\r\n</Items>\r\n</Items>\r\n</XMBML>\r\n");
    const RunOutcome outcome = RunConversion(setup.paths());
    EXPECT_EQ(outcome.message, "Done") << fixture;
    const std::string menu = setup.menu();
    const std::size_t items = menu.find("</Items>\r\n", menu.find("</Items>\r\n") + 1) + 10;
    const std::string block = menu.substr(items, menu.rfind("</XMBML>") - items);
    std::vector<Entry> entries;
    for (std::size_t at = 0; at < block.size();) {
        const std::size_t end = block.find("\r\n", at);
        const std::string entry = block.substr(at, end - at);
        const std::size_t tab = entry.find('\t');
        entries.push_back({entry.substr(0, tab), entry.substr(tab + 1)});
        at = end + 2;
    }
    return entries;
}

struct ExportCase {
    const char* file;
    std::set<std::string> notEmitted;  // addresses the pattern finds and the rules skip
    std::vector<Entry> extra;          // entries the rules emit and the pattern misses
    bool noneEmitted = false;          // the rules take no anchor of this file
};

class BookmarkExports : public testing::TestWithParam<ExportCase> {};

TEST_P(BookmarkExports, YieldTheAnchorsInFileOrder) {
    const ExportCase& c = GetParam();
    const std::vector<Entry> anchors =
        AnchorsByPattern(ReadFixture(std::string("bookmarks/") + c.file));
    ASSERT_FALSE(anchors.empty());
    std::vector<Entry> expected;
    for (const Entry& entry : anchors) {
        if (c.notEmitted.count(entry.url) == 0 && !c.noneEmitted) {
            expected.push_back(entry);
        }
    }
    expected.insert(expected.end(), c.extra.begin(), c.extra.end());
    for (Entry& entry : expected) {  // as values go into the menu
        entry = {XmlEscaped(entry.url), XmlEscaped(entry.title)};
    }
    EXPECT_EQ(Convert(std::string("bookmarks/") + c.file), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, BookmarkExports,
    testing::Values(
        ExportCase{"brave-2022-crlf-nested-dupes.html", {}, {}},
        ExportCase{"chrome-2019-zh-nested-icons.html", {}, {}},
        // Holds "<HR>    <DT><A HREF=..." and "place:" addresses, which both sides skip.
        ExportCase{"firefox-2016-nested-tags-dd-hr.html", {}, {}},
        ExportCase{"firefox-2020-osint-large.html", {}, {}},
        ExportCase{"firefox-2024-csp-header-nested.html", {}, {}},
        // Every anchor ends its attributes with a blank before ">" (ICON_URI="..." >).
        ExportCase{"ie11-2016-bom-nested.html", {}, {}},
        // The first bookmark shares its line with "<DL><p>".
        ExportCase{"pinboard-2022-tags-dd-no-final-newline.html", {}, {}},
        // Anchors with HREF as their only attribute.
        ExportCase{"safari-fr-tabs-folded.html", {}, {}},
        // Damaged on purpose: "›" in place of ">" leaves the bookmark without a title
        // until a following plain line (a wrapped address) emits it with the rest of its own
        // line as title; two titles wrapped before "</A>" do the same.
        ExportCase{"safari-style-dirty-wrapped-lines.html",
                   {},
                   {{"https://www.tripadvisor.com/", "<DT>›TripAdvisor</A>"},
                    {"https://www.google.com/search?client=safari&rls=en&q=dogz&ie=UTF-8&oe=UTF-8",
                     "<DT>>dogz -"},
                    {"https://www.google.com/"
                     "search?client=safari&rls=en&q=abyrvalg&ie=UTF-8&oe=UTF-8",
                     "<DT>>ab"}}},
        // Separators stored as "http://bookmark.placeholder.url/" bookmarks are links too.
        ExportCase{"vivaldi-2023-crlf-description-separators.html", {}, {}}),
    [](const testing::TestParamInfo<ExportCase>& info) {
        std::string name = info.param.file;
        name = name.substr(0, name.find('.'));
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) {
                c = '_';
            }
        }
        return name;
    });

}  // namespace
}  // namespace tamsel
