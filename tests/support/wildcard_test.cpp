#include "test_support/wildcard.h"

#include <gtest/gtest.h>

#include <string>

namespace tamsel::test {
namespace {

struct WildcardCase {
    std::string text;
    std::string pattern;
    bool matches;
};

class MatchWildcardTable : public testing::TestWithParam<WildcardCase> {};

TEST_P(MatchWildcardTable, AnswersAsExpected) {
    const WildcardCase& c = GetParam();
    EXPECT_EQ(MatchWildcard(c.text, c.pattern), c.matches)
        << '"' << c.text << "\" against \"" << c.pattern << '"';
}

INSTANTIATE_TEST_SUITE_P(
    ParserPatterns, MatchWildcardTable,
    testing::Values(
        WildcardCase{"<DT><A HREF=\"https://a.b/\">A</A>", "<DT><A HREF=*", true},
        WildcardCase{"<DT><A HREF=", "<DT><A HREF=*", true},
        WildcardCase{"<DT><A HREF", "<DT><A HREF=*", false},
        WildcardCase{"<dt><a href=\"x\">", "<DT><A HREF=*", false}, WildcardCase{"<", "<*", true},
        WildcardCase{" <b>", "<*", false}, WildcardCase{"", "<*", false},
        WildcardCase{"https://x", "http[s:]*", true}, WildcardCase{"http://x", "http[s:]*", true},
        WildcardCase{"httpx://x", "http[s:]*", false}, WildcardCase{"http", "http[s:]*", false},
        WildcardCase{"http:", "http:*", true}, WildcardCase{"https://a", "http:*", false},
        WildcardCase{"https:", "https:*", true}, WildcardCase{"Title;info", "*;*", true},
        WildcardCase{";", "*;*", true}, WildcardCase{"Title", "*;*", false},
        WildcardCase{"\"quoted\"", "\"*\"", true}, WildcardCase{"\"\"", "\"*\"", true},
        WildcardCase{"\"", "\"*\"", false}, WildcardCase{"\"open", "\"*\"", false},
        WildcardCase{"#LINKID#", "*[A-Za-z]*", true}, WildcardCase{"\t", "*[A-Za-z]*", false},
        WildcardCase{"\xC3\xA9", "*[A-Za-z]*", false}, WildcardCase{"[", "*[A-Za-z]*", false}));

INSTANTIATE_TEST_SUITE_P(
    Syntax, MatchWildcardTable,
    testing::Values(WildcardCase{"", "", true}, WildcardCase{"", "*", true},
                    WildcardCase{"", "**", true}, WildcardCase{"a", "", false},
                    WildcardCase{"abc", "a*c", true}, WildcardCase{"ac", "a*c", true},
                    WildcardCase{"abcbd", "a*b*d", true}, WildcardCase{"abcbc", "a*b*d", false},
                    WildcardCase{"mississippi", "*ss*ss*", true},
                    WildcardCase{"[x", "[x", true},    // unclosed "[" is literal
                    WildcardCase{"a", "[]", false},    // an empty set matches nothing
                    WildcardCase{"m", "[z-a]", true},  // ends in either order
                    WildcardCase{"a", "[a-c]", true},  // both ends belong to the range
                    WildcardCase{"c", "[a-c]", true}, WildcardCase{"d", "[a-c]", false},
                    WildcardCase{"-", "[a-]", true},  // a trailing "-" is literal
                    WildcardCase{"?", "?", true},     // no other wildcard characters
                    WildcardCase{"x", "?", false},
                    WildcardCase{"\xE9", "[\xE0-\xEF]", true},  // bytes compare unsigned
                    // behind the last star, the end of the text decides
                    WildcardCase{"\"a\"b\"", "\"*\"", true}, WildcardCase{"ab", "*[a-b]", true},
                    WildcardCase{"a", "a*a", false}, WildcardCase{"x[y", "*[y", true},
                    WildcardCase{"aXbc", "a*b[c-d]", true}, WildcardCase{"abc", "*abcd", false}));

TEST(MatchWildcard, StarsStayFastOnLongMismatchingTexts) {
    const std::string text(100000, 'a');
    EXPECT_FALSE(MatchWildcard(text, "*a*a*a*a*a*b"));
    EXPECT_TRUE(MatchWildcard(text + "b", "*a*a*a*a*a*b"));
}

TEST(CaseConversion, FoldsAsciiLettersOnly) {
    EXPECT_EQ(ToUpperAscii("http:Ab\xC3\xA9z"), "HTTP:AB\xC3\xA9Z");
    EXPECT_EQ(ToLowerAscii("HTTPS:aB\xC3\x89Z"), "https:ab\xC3\x89z");
}

}  // namespace
}  // namespace tamsel::test
