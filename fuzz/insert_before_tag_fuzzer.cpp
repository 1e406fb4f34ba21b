// InsertBeforeTag against its contract: the block lands at the start of the line that holds
// the wanted occurrence of the tag, or nothing changes when there is no such line; and
// InsertionPoint of the text cut into pieces against that of the text whole.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "convert/insert_before_tag.h"
#include "fuzz_input.h"
#include "fuzz_targets.h"

namespace tamsel::fuzz {

namespace {

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool TagAt(std::string_view text, std::size_t at, std::string_view tag) {
    if (at + tag.size() > text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < tag.size(); ++i) {
        if (Fold(text[at + i]) != Fold(tag[i])) {
            return false;
        }
    }
    return true;
}

// Index of the `occurrence`-th tag, each search starting one past the previous hit, or npos.
std::size_t NthTag(std::string_view text, std::string_view tag, int occurrence) {
    int hits = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (TagAt(text, at, tag) && ++hits == occurrence) {
            return at;
        }
    }
    return std::string_view::npos;
}

bool IsBreak(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

int FuzzInsertBeforeTag(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const int occurrence = static_cast<int>(input.Byte() % 6) - 1;
    const std::string tag(input.Part());
    const std::string block(input.Part());
    const std::string original = WithFiller(input.Part(), input);

    // Cut anywhere into pieces, the text gives its first tag's line where it gives it whole.
    std::vector<std::string_view> pieces;
    for (std::string_view rest = original; !rest.empty();) {
        const std::size_t cut = std::min<std::size_t>(
            rest.size(), (1 + std::size_t{input.Byte()}) * (1 + input.Byte() % 8));
        pieces.push_back(rest.substr(0, cut));
        rest.remove_prefix(cut);
    }
    Expect(InsertionPoint(tag, pieces) == InsertionPoint(tag, original, 1),
           "the pieces put the first tag's line elsewhere");

    std::string text = original;
    const bool inserted = InsertBeforeTag(tag, text, block, occurrence);

    const std::size_t tagAt = (occurrence < 1 || tag.empty()) ? std::string_view::npos
                                                              : NthTag(original, tag, occurrence);
    // The nearest break before the tag; one that opens the text is never used.
    std::size_t lineStart = std::string_view::npos;
    if (tagAt != std::string_view::npos && tagAt > 0) {
        const std::size_t last = original.find_last_of("\r\n", tagAt - 1);
        const bool crLf = last != std::string::npos && last > 0 && original[last] == '\n' &&
                          original[last - 1] == '\r';
        if (last != std::string::npos && (crLf ? last - 1 : last) > 0) {
            lineStart = last + 1;
        }
    }

    if (!inserted) {
        Expect(text == original, "a failed insertion changed the text");
        Expect(lineStart == std::string_view::npos, "a usable line was refused");
        return 0;
    }
    Expect(lineStart != std::string_view::npos, "inserted without a usable line");
    Expect(text.size() == original.size() + block.size(), "the text grew by more than the block");
    Expect(text.compare(0, lineStart, original, 0, lineStart) == 0, "the text before changed");
    Expect(text.compare(lineStart, block.size(), block) == 0, "the block is not in place");
    Expect(text.compare(lineStart + block.size(), std::string::npos, original, lineStart) == 0,
           "the text after changed");
    Expect(IsBreak(original[lineStart - 1]), "the block does not start a line");
    for (std::size_t i = lineStart; i < tagAt; ++i) {
        Expect(!IsBreak(original[i]), "the block is not on the tag's line");
    }
    return 0;
}

}  // namespace tamsel::fuzz

TAMSEL_FUZZ_ENTRY(tamsel::fuzz::FuzzInsertBeforeTag)
