#include "support/utf8_repair.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamsel {
namespace {

using namespace std::string_literals;

const std::string R = "\xEF\xBF\xBD";  // U+FFFD

std::string Repaired(std::string_view bytes) {
    std::string out;
    AppendRepairedUtf8(bytes, out);
    return out;
}

bool IsValidUtf8(std::string_view text) {
    return CheckUtf8(text) != Utf8Need::NotUtf8;
}

struct RepairCase {
    const char* name;
    std::string bytes;
    std::string repaired;  // for a well-formed text: the text itself
};

TEST(Utf8Repair, EachMaximalIllFormedSubpartBecomesOneReplacement) {
    const std::vector<RepairCase> cases{
        {"ascii", "abc", "abc"},
        {"two, three and four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
         "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
        {"highest code point", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
        {"latin-1 byte", "Caf\xE9", "Caf" + R},
        {"stray continuation", "a\x80\xBF", "a" + R + R},
        {"overlong two bytes", "\xC0\xAF", R + R},
        {"overlong three bytes", "\xE0\x80\x80", R + R + R},
        {"overlong four bytes", "\xF0\x80\x80", R + R + R},
        {"surrogate", "\xED\xA0\x80", R + R + R},
        {"above U+10FFFF", "\xF4\x90\x80\x80", R + R + R + R},
        {"never a lead byte", "\xF5\xFF", R + R},
        {"cut short by a letter", "\xE2\x82x", R + "x"},
        {"cut short by the end", "a\xF0\x9F\x98", "a" + R},
        {"lead after a lead", "\xE2\xC3\xA9", R + "\xC3\xA9"},
    };
    for (const RepairCase& c : cases) {
        EXPECT_EQ(Repaired(c.bytes), c.repaired) << c.name;
        EXPECT_EQ(IsValidUtf8(c.bytes), c.bytes == c.repaired) << c.name;
        EXPECT_TRUE(IsValidUtf8(c.repaired)) << c.name;
    }
}

// Every code point's UTF-8 form is well-formed, a surrogate's form is not, and the check
// gives the same answer wherever the character stands among ASCII bytes, which are passed
// eight at a time.
TEST(Utf8Repair, KnowsEveryCodePointAtEveryOffset) {
    for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
        std::string text;
        AppendCodePoint(c, text);
        const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
        ASSERT_EQ(IsValidUtf8(text), !surrogate) << std::hex << static_cast<unsigned long>(c);
    }
    for (std::size_t at = 0; at <= 17; ++at) {
        for (const std::string& odd : {"\xE9"s, "\x01"s, "\xEF\xBF\xBE"s, "\xC3\xA9"s}) {
            const std::string text = std::string(at, 'a') + odd + std::string(17 - at, 'b');
            const Utf8Need need = odd == "\xE9"       ? Utf8Need::NotUtf8
                                  : odd == "\xC3\xA9" ? Utf8Need::Nothing
                                                      : Utf8Need::ControlsOnly;
            EXPECT_EQ(CheckUtf8(text), need) << at << " " << odd;
        }
    }
}

TEST(Utf8Repair, ControlCharactersAndNonCharactersBecomeReplacements) {
    const std::vector<RepairCase> cases{
        {"kept", "a\tb\r\n\x7F\xC2\x85\xEF\xBF\xBD\xEF\xBF\xBC",
         "a\tb\r\n\x7F\xC2\x85" + R + "\xEF\xBF\xBC"},
        {"NUL and ESC", "T\0i\x1Bt"s, "T" + R + "i" + R + "t"},
        {"every other C0", "\x01\x08\x0B\x0C\x0E\x1F", R + R + R + R + R + R},
        {"U+FFFE and U+FFFF", "\xEF\xBF\xBE.\xEF\xBF\xBF", R + "." + R},
        {"at the end", "ab\x02", "ab" + R},
    };
    for (const RepairCase& c : cases) {
        std::string text = c.bytes;
        ReplaceControlCharacters(text);
        EXPECT_EQ(text, c.repaired) << c.name;
        EXPECT_EQ(CheckUtf8(c.bytes),
                  c.bytes == c.repaired ? Utf8Need::Nothing : Utf8Need::ControlsOnly)
            << c.name;
    }
}

}  // namespace
}  // namespace tamsel
