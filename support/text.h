#pragma once

// Text helpers. Texts are byte strings, one char per byte; positions count from 1 as the
// menu and list formats are described, lengths are sizes in bytes.

#include <cstddef>
#include <string>
#include <string_view>

namespace tamsel {

enum class CompareMode {
    Binary = 0,  // characters match exactly
    Text = 1,    // ASCII letters match regardless of case
};

// Replaces occurrences of `find` in `text` by `replacement` in one left-to-right pass:
// matches never overlap and replaced text is never searched again. `count` < 0 means no
// limit, 0 replaces nothing. An empty `find` gives `text` unchanged. In Text mode a `find`
// without an ASCII letter is compared in Binary mode. The output is reserved once, at most
// about twice the text plus 64 KiB or else exactly (counted in one more search), and the
// work is linear in the text length. Like any std::string operation it throws (bad_alloc,
// length_error) only when the result cannot be held in memory.
std::string ReplaceText(std::string_view text, std::string_view find, std::string_view replacement,
                        CompareMode mode = CompareMode::Binary, long long count = -1);

// Position (from 1) of the `occurrence`-th match of `find` in `text` at or after `start`,
// or 0 for none. Long texts are searched through windows of at most find.size() + 64000
// characters that overlap by find.size(), taken as views of `text` (never copied). An
// empty `find`, or a `start` past the end of `text`, gives 0. A `start` or `occurrence`
// below 1 counts as 1; later occurrences are counted without overlapping, each search
// going on right behind the previous hit.
std::size_t FindChunked(std::size_t start, std::string_view text, std::string_view find,
                        CompareMode mode = CompareMode::Binary, long long occurrence = 1);

// Whether `text` begins with `prefix`, ASCII letters compared regardless of case: what
// matching the upper-cased text against the upper-cased prefix followed by "*" tells (for a
// prefix free of "*" and "["), without converting the text.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

// Removes blanks (U+0020 only) at both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace tamsel
