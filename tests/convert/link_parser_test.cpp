#include "convert/link_parser.h"

#include "convert/link_collector.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace tamsel {
namespace {

const ItemTemplates kTemplates{
    "Q[#LINKID#]",
    "I[#LINKID#|#LINKTITLE#|#LINKINFO#|#LINKIMG#|#LINKURL#]",
    "N[#LINKID#|#LINKTITLE#|#LINKINFO#|#LINKIMG#|#LINKURL#]",
};
const std::string kImages = "/m/IMAGES/";

struct Converted {
    std::string query;
    std::vector<std::string> items;
};

// Feeds the lines through the reader the conversion run uses, its final call included.
Converted Convert(const std::vector<std::string>& lines, const std::set<std::string>& icons = {}) {
    LinkCollector links(kTemplates, kImages,
                        [&icons](const std::string& path) { return icons.count(path) > 0; });
    for (const std::string& line : lines) {
        links.Feed(line);
    }
    links.Finish();
    const std::string query = links.QueryText();
    const std::string items = links.ItemText();
    Converted result{query, {}};
    for (std::size_t start = 0; start < items.size();) {
        const std::size_t end = items.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every item entry ends with CR LF";
        result.items.push_back(items.substr(start, end - start));
        start = end + 2;
    }
    return result;
}

struct LinesCase {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::string> items;
};

class ParseLinkLineLines : public testing::TestWithParam<LinesCase> {};

TEST_P(ParseLinkLineLines, YieldTheExpectedEntries) {
    EXPECT_EQ(Convert(GetParam().lines).items, GetParam().items);
}

const std::string kBookmarkB = R"(<DT><A HREF="http://b.org/" ADD_DATE="1">Bee Site</A>)";
const std::string kEntryB = "N[BeeSite|Bee Site|||http://b.org/]";
const std::string kBookmarkC = R"(<DT><A HREF="http://c.org/" ADD_DATE="1">Cee</A>)";
const std::string kEntryC = "N[Cee|Cee|||http://c.org/]";
const std::string kEntryByAddress = "N[http://b.org/|http://b.org/|||http://b.org/]";

// `first`, `count` lines `filler`, then `last`.
std::vector<std::string> WithFollowing(const std::string& first, std::size_t count,
                                       const std::string& filler, const std::string& last) {
    std::vector<std::string> lines{first};
    lines.insert(lines.end(), count, filler);
    lines.push_back(last);
    return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseLinkLineLines,
    testing::Values(
        LinesCase{"TitleThenAddress",
                  {"Big News", "http://n.org/"},
                  {"N[BigNews|Big News|||http://n.org/]"}},
        LinesCase{"AddressThenTitleFlushedByFinalCall",
                  {"http://a.org/", "A"},
                  {"N[A|A|||http://a.org/]"}},
        LinesCase{"PairsWithEmptyLinesBetween",
                  {"A", "http://a.org/", "", "", "B", "http://b.org/", ""},
                  {"N[A|A|||http://a.org/]", "N[B|B|||http://b.org/]"}},
        LinesCase{
            "SecondTitleWins", {"One", "Two", "http://a.org/"}, {"N[Two|Two|||http://a.org/]"}},
        LinesCase{"SecondAddressWins",
                  {"http://1.org/", "http://2.org/", "T"},
                  {"N[T|T|||http://2.org/]"}},
        LinesCase{"SpareAddressWaitsForItsOwnTitle",
                  {"T", "http://1.org/", "http://2.org/"},
                  {"N[T|T|||http://1.org/]"}},
        LinesCase{"InfoSplitsAtFirstSemicolonOnly",
                  {"News ;  Headlines; hourly", "http://n.org/"},
                  {"I[News|News|Headlines; hourly|network.png|http://n.org/]"}},
        LinesCase{"BareSemicolonEmptiesTitleAndInfo", {"T;i", ";", "http://a.org/"}, {}},
        LinesCase{"UpperCaseSchemeIsAnAddressKeptAsWritten",
                  {"Upper", "HTTPS://EXAMPLE.COM/UP"},
                  {"N[Upper|Upper|||HTTPS://EXAMPLE.COM/UP]"}},
        LinesCase{"OtherSchemeIsATitle",
                  {"ftp://f.org/", "http://a.org/"},
                  {"N[ftp://f.org/|ftp://f.org/|||http://a.org/]"}},
        LinesCase{"HostWithoutSchemeIsATitle",
                  {"www.a.org", "http://a.org/"},
                  {"N[www.a.org|www.a.org|||http://a.org/]"}},
        LinesCase{"AddressWithSemicolonIsAnAddress",
                  {"T", "http://a.org/?x=1;y=2"},
                  {"N[T|T|||http://a.org/?x=1;y=2]"}},
        LinesCase{"MarkupNeverFlushes", {"T", "http://a.org/", "<p>", "</body>"}, {}},
        LinesCase{"BookmarkReplacesPendingHandWrittenLink",
                  {"T", "http://a.org/", kBookmarkB},
                  {kEntryB}},
        LinesCase{"BookmarkTagsIgnoreCase",
                  {R"(<dt><a href="http://b.org/" add_date="1">Bee Site</a>)"},
                  {kEntryB}},
        LinesCase{"RejectedBookmarkLeavesPendingLinkAlone",
                  {"T", "http://a.org/", R"(<DT><A HREF="HTTP://B.ORG/" X="1">B</A>)",
                   R"(<DT><A HREF="place:sort=14" X="1">Recent</A>)",
                   R"(<DT><A HREF=http://b.org/ X="1">B</A>)", "next"},
                  {"N[T|T|||http://a.org/]"}},
        LinesCase{"BookmarksInARowAreEachEmitted",
                  {R"(<DT><A HREF="http://a.org/" ICON="data:image/png;base64,AA">A</A>)",
                   kBookmarkB, "</DL><p>"},
                  {"N[A|A|||http://a.org/]", kEntryB}},
        LinesCase{
            "BookmarkRestWaitsAsATitleWithoutAddress", {kBookmarkB, "a description"}, {kEntryB}},
        LinesCase{"QuotedBookmarkTitleLosesItsQuotes",
                  {R"(<DT><A HREF="http://b.org/" X="1">"Bee Site"</A>)"},
                  {kEntryB}},
        LinesCase{"HrefOnlyAnchorYieldsItsTitle",
                  {R"(<DT><A HREF="http://b.org/">  Bee Site </A>)"},
                  {kEntryB}},
        LinesCase{"HrefOnlyAnchorWithQuotedTitle",
                  {R"(<DT><A HREF="http://b.org/">"Bee Site"</A>)"},
                  {kEntryB}},
        LinesCase{"HrefOnlyAnchorWithEmptyTitleIsNamedByItsAddress",
                  {R"(<DT><A HREF="http://b.org/"></A>)", "next"},
                  {kEntryByAddress}},
        LinesCase{"EmptyTitlesAreTheAddress",
                  {R"(<DT><A HREF="http://b.org/" ADD_DATE="1"></A>)",
                   R"(<DT><A HREF="http://b.org/" X="1">""</A>)",
                   R"(<DT><A HREF="http://b.org/a b" X="1">  </A>)"},
                  {kEntryByAddress, "N[http://b.org/ab|http://b.org/a b|||http://b.org/a b]"}},
        LinesCase{"BlankBeforeTagEndStillFindsTheTitle",
                  {R"(<DT><A HREF="http://b.org/" X="1" >Bee Site</A>)", "</DL><p>"},
                  {kEntryB}},
        LinesCase{"BracketInsideAQuotedAttributeIsNotTheTagEnd",
                  {R"(<DT><A HREF="http://b.org/" D="a > b" >Bee Site</A>)", "</DL><p>"},
                  {kEntryB}},
        LinesCase{"TagThatNeverClosesIsNamedByItsAddress",
                  {R"(<DT><A HREF="http://b.org/" X="1" ›Bee</A>)", "</DL><p>"},
                  {kEntryByAddress}},
        LinesCase{"TitleNotClosedIsTheRestOfTheLine",
                  {R"(<DT><A HREF="http://b.org/" X="1">  Bee Site )",
                   R"(<DT><A HREF="http://c.org/">Cee)"},
                  {kEntryB, kEntryC}},
        LinesCase{"HrefAfterOtherAttributesIsReadAsIfFirst",
                  {R"(<DT><A FEEDURL="http://f.org/" X="a>b" HREF="http://b.org/">Bee Site</A>)",
                   R"(<dt><a id="1" href="http://c.org/" add_date="1">Cee</a>)",
                   R"(<DT><A D="x HREF=" HREF="http://a.org/">A</A>)"},
                  {kEntryB, kEntryC, "N[A|A|||http://a.org/]"}},
        LinesCase{"AnchorWithoutAHrefOrItsClosingQuoteIsMarkup",
                  {"T", "http://a.org/", R"(<DT><A NAME="n">N</A>)",
                   R"(<DT><A X="1" HREF="http://b.org/>B</A>)", R"(<DT><A X="1">B HREF="u"</A>)"},
                  {}},
        LinesCase{"TitleOverSeveralLinesIsJoinedSkippingEmptyLines",
                  {R"(<DT><A HREF="http://b.org/" X="1">Bee)", "", "\t Site, ", "and more</A> x",
                   kBookmarkC},
                  {"N[BeeSite,andmore|Bee Site, and more|||http://b.org/]", kEntryC}},
        LinesCase{"ClosingLineMayHoldTheNextBookmark",
                  {R"(<DT><A HREF="http://b.org/">Bee)", "Site</a>" + kBookmarkC},
                  {kEntryB, kEntryC}},
        LinesCase{"ClosingLineMayBeTheSixtyFourthFollowingLine",
                  WithFollowing(R"(<DT><A HREF="http://b.org/">B)", 63, "", "x</A>"),
                  {"N[Bx|B x|||http://b.org/]"}},
        LinesCase{"ClosingLineAfterSixtyFourOthersEndsNoTitle",
                  WithFollowing(R"(<DT><A HREF="http://b.org/">Bee Site)", 64, "x", "y</A>"),
                  {kEntryB}},
        LinesCase{"LineBeginningWithATagOrTheEndOfTheListJoinsNothing",
                  {R"(<DT><A HREF="http://b.org/">Bee Site)", "</A>",
                   R"(<DT><A HREF="http://c.org/">Cee)", "T", "http://a.org/", "<HR>", "U",
                   R"(<DT><A HREF="http://d.org/">Dee)", "more"},
                  {kEntryB, kEntryC, "N[T|T|||http://a.org/]", "N[Dee|Dee|||http://d.org/]"}},
        LinesCase{"SeparatorsBeforeABookmarkAreSkipped",
                  {"<HR>    " + kBookmarkB, "<hr><HR> " + kBookmarkC},
                  {kEntryB, kEntryC}},
        LinesCase{"BookmarkBehindOtherTagsOnItsLine",
                  {"<DL><p>" + kBookmarkB, "<DT><H3>Folder</H3> " + kBookmarkC},
                  {kEntryB, kEntryC}},
        LinesCase{"SeveralBookmarksOnOneLine",
                  {kBookmarkB + R"(<dt><a href="http://a.org/" X="1">A</a>)" + kBookmarkC},
                  {kEntryB, "N[A|A|||http://a.org/]", kEntryC}},
        LinesCase{"TextBeforeABookmarkIsALineOfItsOwn",
                  {"T", "http://a.org/", "Cee " + kBookmarkB},
                  {"N[T|T|||http://a.org/]", kEntryB}},
        LinesCase{"ValuesAreEscapedForXml",
                  {R"(Tom & Jerry;Say "hi" <now> &amp; &#38; &#X2f; &apos; &nbsp;)",
                   "http://a.org/?a=1&b=2"},
                  {"I[Tom&amp;Jerry|Tom &amp; Jerry|Say &quot;hi&quot; &lt;now> &amp; &#38; "
                   "&#X2f; &apos; &amp;nbsp;|network.png|http://a.org/?a=1&amp;b=2]"}},
        LinesCase{"SeparatorsAloneStayMarkup", {"T", "http://a.org/", "<HR> <HR>"}, {}},
        LinesCase{"SeparatorBeforeAFolderStaysMarkup",
                  {"T", "http://a.org/", "<HR> <DT><H3>Folder</H3>"},
                  {}},
        LinesCase{"TitleKeepsThePlaceholdersItHolds",
                  {"See #LINKURL#", "http://a.org/", "My #LINKID#", "http://b.org/"},
                  {"N[See#LINKURL#|See #LINKURL#|||http://a.org/]",
                   "N[My#LINKID#|My #LINKID#|||http://b.org/]"}},
        LinesCase{"SameTitleTwiceGetsASuffixAndTheSameLinkTwiceIsSkipped",
                  {"A", "http://1.org/", "A", "http://2.org/", "A", "http://1.org/"},
                  {"N[A|A|||http://1.org/]", "N[A_2|A|||http://2.org/]"}}),
    [](const testing::TestParamInfo<LinesCase>& info) { return std::string(info.param.name); });

TEST(ParseLinkLine, QueryEntryFillsOnlyTheId) {
    const ItemTemplates templates{"Q[#LINKID#|#LINKTITLE#|#LINKURL#]", "I", "N"};
    LinkRecord record;
    std::string query;
    std::string items;
    for (std::string line : {"Big News", "http://n.org/", "A", "http://a.org/", ""}) {
        ParseLinkLine(line, record, query, items, templates, kImages, nullptr);
    }
    EXPECT_EQ(query, "Q[BigNews|#LINKTITLE#|#LINKURL#]Q[A|#LINKTITLE#|#LINKURL#]");
    EXPECT_EQ(items, "N\r\nN\r\n");
}

TEST(ParseLinkLine, OwnIconIsLookedUpUnderTheIdWithoutBlanks) {
    const std::set<std::string> icons{kImages + "BigNews.png", kImages + "BeeSite.png",
                                      kImages + "Tom&Jerry.png"};
    EXPECT_EQ(
        Convert({"Big News;info", "http://n.org/", "", kBookmarkB, "", "Other;info",
                 "http://o.org/", "", "Plain", "http://p.org/", "Tom & Jerry", "http://t.org/"},
                icons)
            .items,
        (std::vector<std::string>{
            "I[BigNews|Big News|info|BigNews.png|http://n.org/]",
            "I[BeeSite|Bee Site||BeeSite.png|http://b.org/]",
            "I[Other|Other|info|network.png|http://o.org/]",
            "N[Plain|Plain|||http://p.org/]",
            "I[Tom&amp;Jerry|Tom &amp; Jerry||Tom&amp;Jerry.png|http://t.org/]",
        }));
}

TEST(ParseLinkLine, BookmarkLineKeepsOnlyWhatWasNotCutOut) {
    std::string line = R"(<DT><A HREF="http://b.org/" ADD_DATE="1">Bee</A>)";
    LinkRecord record;
    std::string query;
    std::string items;
    ParseLinkLine(line, record, query, items, kTemplates, kImages, nullptr);
    EXPECT_EQ(line, R"(<DT> ADD_DATE="1/A>)");
    EXPECT_EQ(record.Title, line);
    EXPECT_TRUE(record.Url.empty());
}

struct BetweenCase {
    std::string line;
    std::string start;
    std::string end;
    std::string result;
    std::string lineAfter;
};

TEST(ExtractBetween, CutsTheFirstStretchOut) {
    const std::vector<BetweenCase> cases{
        {"a[b]c", "[", "]", "b", "ac"},
        {"a[b]c[d]", "[", "]", "b", "ac[d]"},
        {"a]b[c]d", "[", "]", "c", "a]bd"},  // the end is searched behind the start
        {"ab]c", "[", "]", "", "ab]c"},      // no start: line unchanged
        {"a[bc", "[", "]", "", "a[bc"},      // no end: line unchanged
        {"a[]c", "[", "]", "", "ac"},        // nothing between: both delimiters still go
        {"a[\"b c\"]d", "[", "]", "b c", "ad"},
        {"a[\"\"]d", "[", "]", "", "ad"},
        {"a[\"]d", "[", "]", "\"", "ad"},  // one quote alone is kept
        {"a[\"b\"c\"]d", "[", "]", "b\"c", "ad"},
        {"<a href=\"x\">", "<A HREF=\"", "\"", "x", ">"},  // delimiters ignore case
        {"xABy", "ab", "Y", "", "x"},
    };
    for (const BetweenCase& c : cases) {
        std::string line = c.line;
        EXPECT_EQ(ExtractBetween(line, c.start, c.end), c.result) << c.line;
        EXPECT_EQ(line, c.lineAfter) << c.line;
    }
}

}  // namespace
}  // namespace tamsel
