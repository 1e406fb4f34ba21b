// FindChunked against a plain search of the whole text.

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

std::string Folded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        c = Fold(c);
    }
    return folded;
}

// The `occurrence`-th match at or after `start` (from 1), each search going on behind the
// previous match, so matches never overlap; 0 for none.
std::size_t PlainFind(std::size_t start, std::string_view text, std::string_view find,
                      CompareMode mode, long long occurrence) {
    if (find.empty() || start > text.size()) {
        return 0;
    }
    const std::string haystack = mode == CompareMode::Text ? Folded(text) : std::string(text);
    const std::string needle = mode == CompareMode::Text ? Folded(find) : std::string(find);
    std::size_t from = start - 1;
    for (long long hit = 1;; ++hit) {
        const std::size_t at = haystack.find(needle, from);
        if (at == std::string::npos) {
            return 0;
        }
        if (hit == occurrence) {
            return at + 1;
        }
        from = at + needle.size();
    }
}

}  // namespace

int FuzzFindChunked(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::uint8_t control = input.Byte();
    const CompareMode mode = (control & 1) ? CompareMode::Text : CompareMode::Binary;
    const long long occurrence = 1 + ((control >> 1) & 3);
    const std::uint8_t startChoice = input.Byte();
    const std::string find(input.Part());
    const std::string text = WithFiller(input.Part(), input);
    // Mostly the start of the text, else anywhere up to one past its end.
    const std::size_t start = startChoice < 128 ? 1 : 1 + input.Below(text.size() + 2);

    const std::size_t found = FindChunked(start, text, find, mode, occurrence);
    Expect(found == PlainFind(start, text, find, mode, occurrence),
           "FindChunked differs from a plain search");
    return 0;
}

}  // namespace tamsel::fuzz

TAMSEL_FUZZ_ENTRY(tamsel::fuzz::FuzzFindChunked)
