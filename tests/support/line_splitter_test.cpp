#include "support/line_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamsel {
namespace {

using Lines = std::vector<std::string>;

Lines SplitInChunks(const std::vector<std::string_view>& chunks) {
    Lines lines;
    LineSplitter splitter([&lines](std::string& line) { lines.push_back(line); });
    for (std::string_view chunk : chunks) {
        splitter.Feed(chunk);
    }
    splitter.Finish();
    return lines;
}

struct SplitCase {
    std::string input;
    Lines expected;
};

class LineSplitterTable : public testing::TestWithParam<SplitCase> {};

TEST_P(LineSplitterTable, SplitsTheSameHoweverTheInputIsChunked) {
    const SplitCase& c = GetParam();
    const std::string_view input = c.input;
    EXPECT_EQ(SplitInChunks({input}), c.expected) << "in one chunk";

    std::vector<std::string_view> bytes;
    for (std::size_t i = 0; i < input.size(); ++i) {
        bytes.push_back(input.substr(i, 1));
        bytes.push_back({});  // empty chunks must not disturb a pending CR
    }
    EXPECT_EQ(SplitInChunks(bytes), c.expected) << "byte by byte";

    for (std::size_t cut = 0; cut <= input.size(); ++cut) {
        EXPECT_EQ(SplitInChunks({input.substr(0, cut), input.substr(cut)}), c.expected)
            << "cut at " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Breaks, LineSplitterTable,
    testing::Values(SplitCase{"a\r\nb\r\n", {"a", "b"}}, SplitCase{"a\nb\n", {"a", "b"}},
                    SplitCase{"a\rb\r", {"a", "b"}},
                    SplitCase{"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
                    SplitCase{"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks
                    SplitCase{"a\r\r\nb", {"a", "", "b"}}, SplitCase{"\r\n\r\n", {"", ""}},
                    SplitCase{"last", {"last"}}, SplitCase{"a\r\nlast", {"a", "last"}},
                    SplitCase{"", {}}, SplitCase{"\n", {""}}, SplitCase{"\r", {""}},
                    SplitCase{std::string("t\xC3\xA9\tx\0y\r\n", 9),
                              {std::string("t\xC3\xA9\tx\0y", 7)}}));

TEST(LineSplitter, HandlerMayChangeOrTakeTheLine) {
    Lines lines;
    LineSplitter splitter([&lines](std::string& line) {
        line += "!";
        lines.push_back(std::move(line));
    });
    splitter.Feed("one\ntw");
    splitter.Feed("o\nthree");
    splitter.Finish();
    EXPECT_EQ(lines, (Lines{"one!", "two!", "three!"}));
}

TEST(LineSplitter, FinishStartsAFreshStream) {
    Lines lines;
    LineSplitter splitter([&lines](std::string& line) { lines.push_back(line); });
    splitter.Feed("a\r");
    splitter.Finish();
    splitter.Feed("\nb");
    splitter.Finish();
    EXPECT_EQ(lines, (Lines{"a", "", "b"}));
}

}  // namespace
}  // namespace tamsel
