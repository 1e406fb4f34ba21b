#include "convert/insert_before_tag.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel {
namespace {

struct InsertCase {
    std::string text;
    std::string tag;
    int occurrence;
    std::string expected;  // empty: no insertion, text unchanged
};

TEST(InsertBeforeTag, PutsTheBlockAtTheStartOfTheTagsLine) {
    const std::vector<InsertCase> cases{
        {"<a>\r\n</Items>\r\n", "</Items>", 1, "<a>\r\n[B]</Items>\r\n"},
        {"<a>\n</Items>\n", "</Items>", 1, "<a>\n[B]</Items>\n"},
        {"<a>\r</Items>\r", "</Items>", 1, "<a>\r[B]</Items>\r"},
        {"<a>\r\n\t\t</Items>", "</Items>", 1, "<a>\r\n[B]\t\t</Items>"},
        {"<a>\r\n<b/></Items>", "</Items>", 1, "<a>\r\n[B]<b/></Items>"},
        {"x\r\n</XMBML>", "</XMBML>", 1, "x\r\n[B]</XMBML>"},
        {"x\n</XMBML>", "</XMBML>", 1, "x\n[B]</XMBML>"},
        {"<a>\r\n</items>\r\n", "</Items>", 1, "<a>\r\n[B]</items>\r\n"},
        {"<i>\r\n</Items>\r\n<i>\r\n</ITEMS>\r\n", "</Items>", 2,
         "<i>\r\n</Items>\r\n<i>\r\n[B]</ITEMS>\r\n"},
        {"a\r\nb\n  </XMBML>", "</XMBML>", 1, "a\r\nb\n[B]  </XMBML>"},  // nearest break
        {"a\nb\r\n  </XMBML>", "</XMBML>", 1, "a\nb\r\n[B]  </XMBML>"},
        {"a\r\n\r\n</XMBML>", "</XMBML>", 1, "a\r\n\r\n[B]</XMBML>"},
    };
    for (const InsertCase& c : cases) {
        std::string text = c.text;
        EXPECT_TRUE(InsertBeforeTag(c.tag, text, "[B]", c.occurrence)) << c.text;
        EXPECT_EQ(text, c.expected);
    }
}

TEST(InsertBeforeTag, LeavesTheTextAloneWithoutOccurrenceOrUsableBreak) {
    const std::vector<InsertCase> cases{
        {"<a>\r\n</Items>\r\n", "</Items>", 2, ""},  // only one occurrence
        {"<a>\r\n</Items>\r\n", "</XMBML>", 1, ""},
        {"</XMBML>\r\n", "</XMBML>", 1, ""},  // tag opens the text
        {"x</XMBML>", "</XMBML>", 1, ""},     // no break at all
        {"\r\n</XMBML>", "</XMBML>", 1, ""},  // a break that opens the text is not used
        {"\n</XMBML>", "</XMBML>", 1, ""},
        {"\r</XMBML>", "</XMBML>", 1, ""},
        {"\r\n  </XMBML>", "</XMBML>", 1, ""},
        {"a </XMBML>\r\n", "</XMBML>", 1, ""},
        {"a\r\n</XMBML>", "</XMBML>", 0, ""},
    };
    for (const InsertCase& c : cases) {
        std::string text = c.text;
        EXPECT_FALSE(InsertBeforeTag(c.tag, text, "[B]", c.occurrence)) << c.text;
        EXPECT_EQ(text, c.text);
    }
}

TEST(InsertBeforeTag, FindsTagsFarIntoALongText) {
    std::string text(200000, 'x');
    text += "\r\n</XMBML>";
    ASSERT_TRUE(InsertBeforeTag("</XMBML>", text, "[B]", 1));
    EXPECT_EQ(text.substr(200000), "\r\n[B]</XMBML>");
}

// Cut into pieces anywhere (inside a tag, between CR and LF), a text gives the place it gives
// whole.
TEST(InsertionPoint, OfPiecesIsThatOfTheTextTheyMake) {
    const std::vector<std::string_view> parts{"</XMBML>", "</xmbml>", "</XMB", "ML>",   "\r\n",
                                              "\n",       "\r",       "<a>",   "text ", "\t"};
    std::mt19937 random(7);
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        for (std::size_t n = random() % 24; n > 0; --n) {
            text += parts[random() % parts.size()];
        }
        std::vector<std::size_t> cuts{0, text.size()};
        for (std::size_t n = random() % 4; n > 0; --n) {
            cuts.push_back(random() % (text.size() + 1));
        }
        std::sort(cuts.begin(), cuts.end());
        std::vector<std::string_view> pieces;
        for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
            pieces.push_back(std::string_view(text).substr(cuts[i], cuts[i + 1] - cuts[i]));
        }
        EXPECT_EQ(InsertionPoint("</XMBML>", pieces), InsertionPoint("</XMBML>", text, 1))
            << testing::PrintToString(text);
    }
}

}  // namespace
}  // namespace tamsel
