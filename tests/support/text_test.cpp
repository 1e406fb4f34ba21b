#include "support/text.h"

#include <gtest/gtest.h>

#include <string>

namespace tamsel {
namespace {

struct ReplaceCase {
    std::string text;
    std::string find;
    std::string replacement;
    CompareMode mode;
    long long count;
    std::string expected;
};

class ReplaceTextTable : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceTextTable, GivesExpectedResult) {
    const ReplaceCase& c = GetParam();
    EXPECT_EQ(ReplaceText(c.text, c.find, c.replacement, c.mode, c.count), c.expected);
}

constexpr auto kBinary = CompareMode::Binary;
constexpr auto kText = CompareMode::Text;

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceTextTable,
    testing::Values(ReplaceCase{"a\tb\t\tc", "\t", " ", kBinary, -1, "a b  c"},
                    ReplaceCase{"Big News Site", " ", "", kBinary, -1, "BigNewsSite"},
                    ReplaceCase{"aaa", "a", "xyz", kBinary, -1, "xyzxyzxyz"},
                    ReplaceCase{"aaaa", "aa", "b", kBinary, -1, "bb"},
                    ReplaceCase{"aaa", "aa", "b", kBinary, -1, "ba"},
                    ReplaceCase{"ab", "ab", "xaby", kBinary, -1, "xaby"},
                    ReplaceCase{"a-b-c", "-", "+", kBinary, 1, "a+b-c"},
                    ReplaceCase{"a-b-c", "-", "+", kBinary, 0, "a-b-c"},
                    ReplaceCase{"abc", "", "x", kBinary, -1, "abc"},
                    ReplaceCase{"", "a", "x", kBinary, -1, ""},
                    ReplaceCase{"ABC abc", "b", "x", kText, -1, "AxC axc"},
                    ReplaceCase{"ABC abc", "b", "x", kBinary, -1, "ABC axc"},
                    // UTF-8 É and é differ only outside ASCII, so they stay apart.
                    ReplaceCase{"\xC3\x89 \xC3\xA9", "\xC3\xA9", "e", kText, -1, "\xC3\x89 e"},
                    ReplaceCase{"#LINKID#-#LINKID#", "#LINKID#", "Site", kBinary, -1, "Site-Site"},
                    ReplaceCase{"x", "xyz", "q", kBinary, -1, "x"},
                    ReplaceCase{"a-b-c-d", "-", "+", kBinary, 2, "a+b+c-d"}));

TEST(ReplaceText, ReplacesAcrossWindowBoundariesOfLongTexts) {
    std::string text(200000, '.');
    for (std::size_t at : {0u, 63999u, 64000u, 64001u, 128001u, 199998u}) {
        text.replace(at, 2, "ab");
    }
    std::string expected = text;
    for (std::size_t at = expected.find("ab"); at != std::string::npos;
         at = expected.find("ab", at + 3)) {
        expected.replace(at, 2, "XYZ");
    }
    EXPECT_EQ(ReplaceText(text, "ab", "XYZ"), expected);
}

TEST(ReplaceText, ShrinkingReplacementOnLongTextKeepsEveryOtherByte) {
    const std::string text(300000, 'a');
    EXPECT_EQ(ReplaceText(text, "aa", "b"), std::string(150000, 'b'));
}

TEST(FindChunked, FindsMatchAtLastStartOfFirstWindow) {
    std::string text(70000, '.');
    text.replace(64000, 2, "ab");  // position 64001
    EXPECT_EQ(FindChunked(1, text, "ab"), 64001u);
}

TEST(FindChunked, FindsMatchAtFirstStartOnlyInSecondWindow) {
    std::string text(70000, '.');
    text.replace(64001, 2, "ab");  // position 64002
    EXPECT_EQ(FindChunked(1, text, "ab"), 64002u);
}

TEST(FindChunked, FindsMatchStraddlingEveryWindowBoundary) {
    for (std::size_t boundary : {64000u, 128000u, 192000u}) {
        for (std::size_t offset = 0; offset < 4; ++offset) {
            std::string text(256000, '.');
            const std::size_t at = boundary - 2 + offset;  // zero-based
            text.replace(at, 4, "wxyz");
            EXPECT_EQ(FindChunked(1, text, "wxyz"), at + 1) << "boundary " << boundary;
        }
    }
}

TEST(FindChunked, StartOnePastTheEndGivesZero) {
    EXPECT_EQ(FindChunked(4, "abc", "c"), 0u);
    const std::string longText(70000, 'c');
    EXPECT_EQ(FindChunked(70001, longText, "c"), 0u);
    EXPECT_EQ(FindChunked(70000, longText, "c"), 70000u);
}

TEST(FindChunked, EmptyFindGivesZero) {
    EXPECT_EQ(FindChunked(1, "abc", ""), 0u);
    EXPECT_EQ(FindChunked(1, "", ""), 0u);
}

TEST(FindChunked, StartsSearchingAtStartPosition) {
    EXPECT_EQ(FindChunked(1, "abcabc", "abc"), 1u);
    EXPECT_EQ(FindChunked(2, "abcabc", "abc"), 4u);
    EXPECT_EQ(FindChunked(5, "abcabc", "abc"), 0u);
    EXPECT_EQ(FindChunked(0, "abcabc", "bc"), 2u);  // a start below 1 counts as 1
}

TEST(FindChunked, TextModeIgnoresAsciiCaseOnly) {
    EXPECT_EQ(FindChunked(1, "xx<A HREF=", "<a href=", CompareMode::Text), 3u);
    EXPECT_EQ(FindChunked(1, "xx<A HREF=", "<a href=", CompareMode::Binary), 0u);
    EXPECT_EQ(FindChunked(1, "\xC3\x89", "\xC3\xA9", CompareMode::Text), 0u);
    std::string longText(100000, 'x');
    longText += "NeEdLe";
    EXPECT_EQ(FindChunked(1, longText, "needle", CompareMode::Text), 100001u);
}

TEST(FindChunked, CountsLaterOccurrencesOnceEachAcrossWindows) {
    std::string text(200000, '.');
    const std::size_t starts[] = {10, 63999, 64000, 64001, 130000};  // zero-based
    for (std::size_t at : starts) {
        text.replace(at, 1, "a");
    }
    for (std::size_t n = 0; n < std::size(starts); ++n) {
        EXPECT_EQ(FindChunked(1, text, "a", CompareMode::Binary, static_cast<long long>(n + 1)),
                  starts[n] + 1)
            << "occurrence " << n + 1;
    }
    EXPECT_EQ(FindChunked(1, text, "a", CompareMode::Binary, 6), 0u);
    EXPECT_EQ(FindChunked(1, "aaaa", "aa", CompareMode::Binary, 2), 3u);
    EXPECT_EQ(FindChunked(1, "aaa", "aa", CompareMode::Binary, 2), 0u);
}

TEST(CaseAndTrim, TrimRemovesBlanksOnly) {
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("\ta\t"), "\ta\t");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks(""), "");
}

}  // namespace
}  // namespace tamsel
