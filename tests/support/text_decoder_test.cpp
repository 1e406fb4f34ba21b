#include "support/text_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamsel {
namespace {

using namespace std::string_literals;

// The stream fed in parts of `size` bytes (the last one shorter).
std::string Decoded(std::string_view bytes, std::size_t size) {
    TextDecoder decoder;
    std::string text;
    for (std::size_t at = 0; at < bytes.size(); at += size) {
        text += decoder.Decode(bytes.substr(at, size));
    }
    return text + std::string(decoder.Finish());
}

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::string text;
};

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(TextDecoder, DecodesTheSameInPartsOfAnySize) {
    const std::vector<DecodeCase> cases{
        {"empty", "", ""},
        {"plain", "a\r\nb", "a\r\nb"},
        {"utf-8 mark dropped", "\xEF\xBB\xBFhttp://a\r\n", "http://a\r\n"},
        {"utf-8 mark alone", "\xEF\xBB\xBF", ""},
        {"mark later kept", "a\xEF\xBB\xBF", "a\xEF\xBB\xBF"},
        {"mark cut short", "\xEF\xBB", "\xEF\xBB"},
        {"almost a mark", "\xEF\xBBx\xFF", "\xEF\xBBx\xFF"},
        {"one byte like a mark", "\xFF", "\xFF"},
        {"utf-16 mark alone", "\xFF\xFE", ""},
        {"utf-16le",
         "\xFF\xFE"
         "a\0\r\0\n\0\xE9\0\xE5\x65"s,
         "a\r\n\xC3\xA9\xE6\x97\xA5"},
        {"utf-16be", "\xFE\xFF\0a\0\r\0\n\0\xE9\x65\xE5"s, "a\r\n\xC3\xA9\xE6\x97\xA5"},
        {"surrogate pair", "\xFF\xFE\x3D\xD8\x00\xDE"s, "\xF0\x9F\x98\x80"},
        {"high surrogate at the end", "\xFF\xFE\x3D\xD8", kReplacement},
        {"high surrogate before a letter",
         "\xFF\xFE\x3D\xD8"
         "a\0"s,
         kReplacement + "a"},
        {"two high surrogates then a low", "\xFF\xFE\x3D\xD8\x3D\xD8\x00\xDE"s,
         kReplacement + "\xF0\x9F\x98\x80"},
        {"low surrogate alone",
         "\xFF\xFE\x00\xDE"
         "a\0"s,
         kReplacement + "a"},
        {"odd byte at the end",
         "\xFF\xFE"
         "a\0b"s,
         "a" + kReplacement},
        {"odd zero byte at the end",
         "\xFF\xFE"
         "a\0\0"s,
         "a" + kReplacement},
        {"last surrogate pair, then a lone last low surrogate", "\xFF\xFE\xFF\xDB\xFF\xDF\xFF\xDF"s,
         "\xF4\x8F\xBF\xBF" + kReplacement},
    };
    for (const DecodeCase& c : cases) {
        for (std::size_t size = 1; size <= c.bytes.size() + 1; ++size) {
            EXPECT_EQ(Decoded(c.bytes, size), c.text) << c.name << ", parts of " << size;
        }
    }
}

TEST(TextDecoder, TakesANewStreamAfterFinish) {
    TextDecoder decoder;
    EXPECT_EQ(decoder.Decode("\xFF\xFE"), "");
    EXPECT_EQ(decoder.Finish(), "");
    EXPECT_EQ(decoder.Decode("ab"), "ab");
    EXPECT_EQ(decoder.Finish(), "");
}

}  // namespace
}  // namespace tamsel
