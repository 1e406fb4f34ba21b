#include "support/text_decoder.h"

#include <gtest/gtest.h>

#include <string>

namespace tamsel {
namespace {

TEST(Windows1252, MapsAsTheWebDoes) {
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"Caf\xE9 \xA0\xFF", "Caf\xC3\xA9 \xC2\xA0\xC3\xBF"},
        {"\x80\x8A\x9F\x99", "\xE2\x82\xAC\xC5\xA0\xC5\xB8\xE2\x84\xA2"},
        // The five bytes the code page leaves undefined.
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        {std::string("a\0\x7F", 3), std::string("a\0\x7F", 3)},
    };
    for (const auto& c : cases) {
        std::string text = "<";
        AppendWindows1252(c.bytes, text);
        EXPECT_EQ(text, "<" + c.text) << c.bytes;
    }
}

}  // namespace
}  // namespace tamsel
