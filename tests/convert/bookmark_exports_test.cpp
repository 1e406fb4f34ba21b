// Bookmark exports converted end to end, checked against what a plain pattern over the
// file's lines finds: the project's own exports in each browser family's shape, with the
// differences that the line rules explain written out, and optionally a folder of real
// exports (TAMSEL_EXTRA_BOOKMARKS), of which every bookmark line must come through.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "convert/conversion_run.h"
#include "convert/markup_text.h"
#include "run_setup.h"
#include "support/text.h"
#include "test_support/well_formed_xml.h"

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
std::vector<Entry> Convert(const std::string& list, const std::string& name) {
    RunSetup setup;
    setup.writeList(list);
    setup.writeTemplates("q", "#LINKURL#\t#LINKTITLE#", "#LINKURL#\t#LINKTITLE#");
    setup.writeMenu("M\r\n</Items>\r\n</Items>\r\n</XMBML>\r\n");
    const RunOutcome outcome = RunConversion(setup.paths());
    EXPECT_EQ(outcome.status, RunStatus::Done) << name;
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
};

void PrintTo(const ExportCase& c, std::ostream* out) {
    *out << c.file;
}

class BookmarkExports : public testing::TestWithParam<ExportCase> {};

TEST_P(BookmarkExports, YieldTheAnchorsInFileOrder) {
    const ExportCase& c = GetParam();
    const std::string file = ReadFixture(std::string("bookmarks/") + c.file);
    const std::vector<Entry> anchors = AnchorsByPattern(file);
    ASSERT_FALSE(anchors.empty());
    std::vector<Entry> expected;
    for (const Entry& entry : anchors) {
        // A bookmark that the export holds twice goes into the menu once.
        if (c.notEmitted.count(entry.url) == 0 &&
            std::find(expected.begin(), expected.end(), entry) == expected.end()) {
            expected.push_back(entry);
        }
    }
    expected.insert(expected.end(), c.extra.begin(), c.extra.end());
    for (Entry& entry : expected) {  // as values go into the menu
        entry = {XmlEscaped(entry.url), XmlEscaped(entry.title)};
    }
    EXPECT_EQ(Convert(file, c.file), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Exports, BookmarkExports,
    testing::Values(
        // "<HR>" separators sharing a bookmark's line, a 70 KB icon on one line, "<DD>"
        // text running on to the next line, and "place:" and "javascript:" addresses,
        // which both sides skip.
        ExportCase{"firefox.html", {}, {}},
        // CR LF, nested folders, a duplicate, a "chrome:" address and a separator stored
        // as a bookmark of "http://bookmark.placeholder.url/".
        ExportCase{"chromium.html", {}, {}},
        // Anchors with HREF as their only attribute, TAB indentation.
        ExportCase{"safari.html", {}, {}},
        // A byte-order mark first, and a blank before ">" in every anchor tag.
        ExportCase{"ie11.html", {}, {}},
        // The first bookmark shares its line with "<DL><p>", and no line break ends the file.
        ExportCase{"pinboard.html", {}, {}}),
    [](const testing::TestParamInfo<ExportCase>& info) {
        std::string name = info.param.file;
        return name.substr(0, name.find('.'));
    });

// How many bookmarks with a web address a browser shows for the export: anchors that open a
// "<DT>" item (blanks between them allowed), with an HREF="http..." in their tag whose
// address holds no "<" or ">". An anchor elsewhere (in a description, behind a mistyped tag)
// is text of the page, and an address with angle brackets is one whose closing quote went
// missing, so that it runs on over the markup after it.
std::size_t WebBookmarks(const std::string& file) {
    std::size_t count = 0;
    for (std::size_t dt = FindChunked(1, file, "<DT>", CompareMode::Text); dt != 0;
         dt = FindChunked(dt + 1, file, "<DT>", CompareMode::Text)) {
        const std::size_t at = file.find_first_not_of(" \t", dt + 3);
        if (at == std::string::npos || !StartsWithIgnoringCase(file.substr(at, 3), "<A") ||
            std::string_view(" \t\r\n").find(file[at + 2]) == std::string_view::npos) {
            continue;
        }
        const std::size_t tagEnd = std::min(file.find('>', at), file.size());
        const std::size_t href =
            FindChunked(at + 1, file.substr(0, tagEnd), "HREF=\"", CompareMode::Text);
        const std::size_t close = href == 0 ? std::string::npos : file.find('"', href + 5);
        if (close != std::string::npos) {
            const std::string address = file.substr(href + 5, close - href - 5);
            count +=
                address.starts_with("http") && address.find_first_of("<>") == std::string::npos;
        }
    }
    return count;
}

// The repository's own exports and those of TAMSEL_EXTRA_BOOKMARKS, when it names a folder.
std::vector<std::filesystem::path> EveryExport() {
    std::vector<std::filesystem::path> files;
    for (const std::filesystem::path& folder :
         {std::filesystem::path(TAMSEL_FIXTURES) / "bookmarks",
          std::filesystem::path(TAMSEL_EXTRA_BOOKMARKS)}) {
        if (!folder.empty() && std::filesystem::is_directory(folder)) {
            for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                if (entry.path().extension() == ".html") {
                    files.push_back(entry.path());
                }
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Every bookmark a browser shows is a link the run finds (added or, as a duplicate, skipped),
// and the menu it writes parses.
TEST(EveryExport, GivesEachWebBookmarkAndAMenuThatParses) {
#ifdef _WIN32
    const bool canLint = false;  // the Windows build writes the same bytes (same-bytes-windows)
#else
    const bool canLint = test::HasXmlLint();
#endif
    for (const std::filesystem::path& path : EveryExport()) {
        const std::string file = test::ReadFileBytes(path);
        RunSetup setup;
        setup.writeList(file);
        std::size_t found = 0;
        PreviewConversion(setup.paths(), [&found](const LinkDecision&) { ++found; });
        const std::size_t bookmarks = WebBookmarks(file);
        std::cout << path.filename().string() << ": " << bookmarks << " web bookmarks, " << found
                  << " links found\n";
        EXPECT_EQ(found, bookmarks) << path;
        EXPECT_EQ(RunConversion(setup.paths()).status, RunStatus::Done) << path;
        if (canLint) {
            EXPECT_TRUE(test::IsWellFormedXml(setup.temp().path(RunSetup::kMenu))) << path;
        }
    }
    if (!canLint) {
        GTEST_SKIP() << "Links counted; xmllint is not at hand to parse the menus";
    }
}

// The first anchor of every line that begins with one, as the pattern reads it, each once.
std::vector<Entry> BookmarkLines(const std::string& file) {
    std::vector<Entry> starts;
    std::size_t start = 0;
    while (start < file.size()) {
        const std::size_t end = std::min(file.find('\n', start), file.size());
        const std::string line = file.substr(start, end - start);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line.compare(first, 13, "<DT><A HREF=\"") == 0) {
            const std::vector<Entry> anchors = AnchorsByPattern(line);
            const Entry entry =
                anchors.empty() ? Entry{}
                                : Entry{XmlEscaped(anchors[0].url), XmlEscaped(anchors[0].title)};
            // A bookmark that the export holds twice comes through once.
            if (!anchors.empty() &&
                std::find(starts.begin(), starts.end(), entry) == starts.end()) {
                starts.push_back(entry);
            }
        }
        start = end + 1;
    }
    return starts;
}

// Whether `part` can be had from `whole` by leaving entries out.
bool IsInOrderWithin(const std::vector<Entry>& part, const std::vector<Entry>& whole) {
    auto at = whole.begin();
    for (const Entry& entry : part) {
        at = std::find(at, whole.end(), entry);
        if (at == whole.end()) {
            return false;
        }
        ++at;
    }
    return true;
}

// Exports are free to hold more than the line rules take, so only what they certainly take
// is required: every line that begins with a web bookmark gives it, in file order.
TEST(ExtraBookmarks, EveryBookmarkLineComesThroughInFileOrder) {
    const std::filesystem::path folder = TAMSEL_EXTRA_BOOKMARKS;
    if (folder.empty()) {
        GTEST_SKIP() << "No folder of extra bookmark exports: configure with "
                        "-DTAMSEL_EXTRA_BOOKMARKS=<folder> to run it";
    }
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder << " is not a folder";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".html") {
            continue;
        }
        ++files;
        const std::string file = test::ReadFileBytes(entry.path());
        const std::vector<Entry> converted = Convert(file, entry.path().string());
        EXPECT_TRUE(IsInOrderWithin(BookmarkLines(file), converted)) << entry.path();
    }
    EXPECT_GT(files, 0) << "no .html file in " << folder;
}

}  // namespace
}  // namespace tamsel
