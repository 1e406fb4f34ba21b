// Long message lines broken for a message box, measured as one unit per character so that
// the expected lines read as they would show.

#include "window/message_lines.h"

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace tamsel {
namespace {

int Characters(std::string_view utf8) {
    int count = 0;
    for (const char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (const char c : text) {
        if (c == '\n') {
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

TEST(WrapMessage, BreaksLongLinesAfterSeparatorsOrBlanksWhereTheMostFits) {
    struct Case {
        const char* message;
        int width;
        const char* wrapped;
    };
    const Case cases[] = {
        {"Done", 4, "Done"},
        {"Done\n\nLinks already in the menu: 2 of 40.", 40,
         "Done\n\nLinks already in the menu: 2 of 40."},
        {"Missing /a/bb/ccc/network.png", 12, "Missing /a/\nbb/ccc/\nnetwork.png"},
        {"Missing C:\\Menu\\IMAGES\\network.png", 16, "Missing C:\\Menu\\\nIMAGES\\\nnetwork.png"},
        // A name longer than a line fills the line it starts on and goes on in the next.
        {"/aaaaaaaaaaaaaaaaaaaaaaaaa/b", 10, "/aaaaaaaaa\naaaaaaaaaa\naaaaaa/b"},
        // Never inside a character.
        {"/\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 4,
         "/\xC3\xA9\xC3\xA9\xC3\xA9\n\xC3\xA9\xC3\xA9\xC3\xA9"},
        // Each line of a message on its own.
        {"two lines\n/aaaa/bbbb", 6, "two \nlines\n/aaaa/\nbbbb"},
        {"", 3, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WrapMessage(c.message, c.width, Characters), c.wrapped) << c.message;
    }
}

// Whatever the text and the width, the lines fit (a single character wider than a line
// aside), and taking the breaks out gives the text back.
TEST(WrapMessage, LosesNothingAndEveryLineFits) {
    const std::vector<std::string> characters{
        "a", "B", "/", "\\", " ", "\xC3\xA9", "\xF0\x9F\x94\x97"};
    std::mt19937 random(42);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const auto length = std::uniform_int_distribution<int>(0, 60)(random);
        for (int i = 0; i < length; ++i) {
            text += characters[std::uniform_int_distribution<std::size_t>(
                0, characters.size() - 1)(random)];
        }
        const int width = std::uniform_int_distribution<int>(1, 15)(random);
        const std::string wrapped = WrapMessage(text, width, Characters);
        std::string joined;
        for (const std::string& line : Lines(wrapped)) {
            EXPECT_LE(Characters(line), width) << text << " in " << width;
            joined += line;
        }
        EXPECT_EQ(joined, text) << width;
    }
}

}  // namespace
}  // namespace tamsel
