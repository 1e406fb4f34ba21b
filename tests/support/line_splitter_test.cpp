#include "support/line_splitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace tamsel {
namespace {

using Lines = std::vector<std::string>;

// Each chunk is fed from a buffer that is scribbled over and freed once fed.
Lines SplitInChunks(const std::vector<std::string_view>& chunks) {
    Lines lines;
    LineSplitter splitter([&](std::string_view line) { lines.emplace_back(line); });
    for (std::string_view chunk : chunks) {
        auto buffer = std::make_unique<char[]>(chunk.size() + 1);
        std::copy(chunk.begin(), chunk.end(), buffer.get());
        splitter.Feed(std::string_view(buffer.get(), chunk.size()));
        std::fill_n(buffer.get(), chunk.size(), '#');
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

// Lines past the length kept in one buffer are gathered in pieces; the table above cannot
// cut such a line at every byte, so here it goes in one chunk and in reader-sized chunks.
TEST(LineSplitter, LineOverAMebibyteArrivesWholeWithOrWithoutABreak) {
    const std::string line = std::string((1 << 20) + 1, 'x') + "y";
    for (const std::string_view ending : {"", "\r", "\n", "\r\n"}) {
        const std::string input = "a\r\n" + line + std::string(ending);
        const std::string_view view = input;
        std::vector<std::string_view> chunks;
        for (std::size_t at = 0; at < view.size(); at += 65536) {
            chunks.push_back(view.substr(at, 65536));
        }
        for (const Lines& lines : {SplitInChunks({view}), SplitInChunks(chunks)}) {
            // Compared without printing a mebibyte when they differ.
            EXPECT_TRUE(lines.size() == 2 && lines[0] == "a" && lines[1] == line)
                << lines.size() << " lines, ending of " << ending.size() << " bytes";
        }
    }
}

// A line that lies whole in its chunk is lent in place; only one that spans chunks is
// joined, into the splitter's own buffer.
TEST(LineSplitter, LinesWithinAChunkAreLentWithoutACopy) {
    const std::string first = "one\ntw";
    const std::string second = "o\nthree\nfour";
    std::vector<bool> inPlace;
    Lines lines;
    LineSplitter splitter([&](std::string_view line) {
        const auto within = [&line](const std::string& chunk) {
            return line.data() >= chunk.data() && line.data() < chunk.data() + chunk.size();
        };
        inPlace.push_back(within(first) || within(second));
        lines.emplace_back(line);
    });
    splitter.Feed(first);
    splitter.Feed(second);
    splitter.Finish();
    EXPECT_EQ(lines, (Lines{"one", "two", "three", "four"}));
    EXPECT_EQ(inPlace, (std::vector<bool>{true, false, true, false}));
}

TEST(LineSplitter, FinishStartsAFreshStream) {
    Lines lines;
    LineSplitter splitter([&lines](std::string_view line) { lines.emplace_back(line); });
    splitter.Feed("a\r");
    splitter.Finish();
    splitter.Feed("\nb");
    splitter.Finish();
    EXPECT_EQ(lines, (Lines{"a", "", "b"}));
}

}  // namespace
}  // namespace tamsel
