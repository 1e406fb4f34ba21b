// ReplaceText against a reference that walks the text one byte at a time.

#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "fuzz_targets.h"
#include "support/text.h"

namespace tamsel::fuzz {

namespace {

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool SameAt(std::string_view text, std::size_t at, std::string_view find, bool foldCase) {
    for (std::size_t i = 0; i < find.size(); ++i) {
        const char a = text[at + i];
        const char b = find[i];
        if (foldCase ? Fold(a) != Fold(b) : a != b) {
            return false;
        }
    }
    return true;
}

bool HasAsciiLetter(std::string_view text) {
    for (const char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            return true;
        }
    }
    return false;
}

// Left to right: at each position either a match is replaced and skipped whole, or one
// byte is copied; `count` < 0 has no limit.
std::string NaiveReplace(std::string_view text, std::string_view find, std::string_view replacement,
                         CompareMode mode, long long count) {
    if (find.empty()) {
        return std::string(text);
    }
    const bool foldCase = mode == CompareMode::Text && HasAsciiLetter(find);
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        if (count != 0 && at + find.size() <= text.size() && SameAt(text, at, find, foldCase)) {
            out += replacement;
            at += find.size();
            count -= count > 0 ? 1 : 0;
        } else {
            out += text[at++];
        }
    }
    return out;
}

}  // namespace

int FuzzReplaceText(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::uint8_t control = input.Byte();
    const CompareMode mode = (control & 1) ? CompareMode::Text : CompareMode::Binary;
    // Mostly "no limit", as every caller asks; sometimes a small limit, zero included.
    const long long count = (control & 2) ? static_cast<long long>(control >> 2) % 5 : -1;
    const std::string find(input.Part());
    const std::string replacement(input.Part());
    const std::string text = WithFiller(input.Part(), input);

    const std::string result = ReplaceText(text, find, replacement, mode, count);
    Expect(result == NaiveReplace(text, find, replacement, mode, count),
           "ReplaceText differs from the naive reference");
    return 0;
}

}  // namespace tamsel::fuzz

TAMSEL_FUZZ_ENTRY(tamsel::fuzz::FuzzReplaceText)
