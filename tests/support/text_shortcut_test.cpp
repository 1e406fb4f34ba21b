// The text scanning shortcuts against the plain computations they stand for: a case-blind
// prefix test instead of case-converting a whole line, memchr instead of byte-by-byte
// loops in the case-blind search and the line splitter.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "support/line_splitter.h"
#include "support/text.h"
#include "test_support/wildcard.h"

namespace tamsel {
namespace {

using test::MatchWildcard;
using test::ToLowerAscii;
using test::ToUpperAscii;

TEST(StartsWithIgnoringCase, AgreesWithMatchingTheCaseConvertedText) {
    const std::vector<std::string> texts = {
        "",
        "<",
        "<dt><a href=\"x\">",
        "<Dt><A hReF=",
        "<DT><A  HREF=",
        "<DT><A HRE",
        "HTTP://x",
        "hTtPs:",
        "http",
        "httpS:x",
        "https;",
        "<hr>",
        "<HR>  <DT>",
        "\xC3\xA9<DT><A HREF=",
        "<DT><A HREF=\xFF",
        "{dt}",
        "@http:",
        "[http:]",
        std::string("<dt><a href=\0x", 14),
    };
    for (const std::string& text : texts) {
        for (const std::string prefix : {"<DT><A HREF=", "http:", "https:", "<HR>", "<", ""}) {
            const bool plain = MatchWildcard(ToUpperAscii(text), ToUpperAscii(prefix) + "*");
            EXPECT_EQ(StartsWithIgnoringCase(text, prefix), plain) << text << " / " << prefix;
            EXPECT_EQ(StartsWithIgnoringCase(text, ToLowerAscii(prefix)),
                      MatchWildcard(ToLowerAscii(text), ToLowerAscii(prefix) + "*"))
                << text << " / " << prefix << " lower-cased";
        }
    }
}

// The plain case-blind search: fold both texts, then an exact search.
std::size_t FoldedFind(std::size_t start, const std::string& text, const std::string& find) {
    const std::size_t at = ToLowerAscii(text).find(ToLowerAscii(find), start - 1);
    return at == std::string::npos ? 0 : at + 1;
}

TEST(FindChunked, TextModeFindsWhatFoldingBothTextsFinds) {
    std::mt19937 random(7);  // fixed seed: the same cases on every run
    const std::string alphabet = "<</aAbBxX\xC3\xA9";
    const auto draw = [&](std::size_t length) {
        std::string s;
        for (std::size_t i = 0; i < length; ++i) {
            s += alphabet[random() % alphabet.size()];
        }
        return s;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string text = draw(random() % 40);
        const std::string find = draw(1 + random() % 3);
        const std::size_t start = 1 + random() % (text.size() + 1);
        EXPECT_EQ(FindChunked(start, text, find, CompareMode::Text), FoldedFind(start, text, find))
            << "text " << text << " find " << find << " from " << start;
    }
    // Around the window boundaries of a long text, where the search moves on by windows.
    std::string text(200000, 'x');
    for (std::size_t at : {63990u, 63999u, 64000u, 64005u, 127999u, 199990u}) {
        text.replace(at, 4, at % 2 ? "</aB" : "</Ab");
    }
    for (std::size_t start : {1u, 63991u, 64001u, 128000u}) {
        for (const std::string find : {"</ab", "/AB", "<", "x<"}) {
            EXPECT_EQ(FindChunked(start, text, find, CompareMode::Text),
                      FoldedFind(start, text, find))
                << find << " from " << start;
        }
    }
}

// The plain split: every CR LF, CR and LF ends a line.
std::vector<std::string> PlainSplit(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            line += text[i];
            continue;
        }
        lines.push_back(line);
        line.clear();
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

TEST(LineSplitter, FindsTheBreaksOfAPlainSplitInAnyChunking) {
    std::mt19937 random(11);
    for (int round = 0; round < 500; ++round) {
        // Texts with one kind of break only test the remembered LF; the first kind mixes all.
        const std::vector<std::vector<std::string>> kinds = {
            {"\r\n", "\r", "\n", "ab", "c", std::string(300, 'd')},
            {"\r", "c", std::string(300, 'd')},
            {"\n", "ab"},
            {"\r\n", "ab", std::string(300, 'd')},
        };
        const std::vector<std::string>& pieces = kinds[round % kinds.size()];
        std::string text;
        const std::size_t count = random() % 30;
        for (std::size_t i = 0; i < count; ++i) {
            text += pieces[random() % pieces.size()];
        }
        std::vector<std::string> lines;
        LineSplitter splitter([&lines](std::string_view line) { lines.emplace_back(line); });
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t size = std::min<std::size_t>(1 + random() % 500, text.size() - at);
            splitter.Feed(std::string_view(text).substr(at, size));
            at += size;
        }
        splitter.Finish();
        EXPECT_EQ(lines, PlainSplit(text)) << "round " << round;
    }
}

}  // namespace
}  // namespace tamsel
