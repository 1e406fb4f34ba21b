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
// limit, 0 replaces nothing; an empty `find` changes nothing. The output is reserved once
// (at most about twice the text plus 64 KiB, else exactly, counted in one more search), the
// work linear in the text. Throws (bad_alloc, length_error) only for a result that cannot
// be held in memory.
std::string ReplaceText(std::string_view text, std::string_view find, std::string_view replacement,
                        CompareMode mode = CompareMode::Binary, long long count = -1);

// Position (from 1) of the `occurrence`-th match of `find` in `text` at or after `start`,
// or 0 for none (also for an empty `find` or a `start` past the end). Long texts are
// searched through views of at most find.size() + 64000 characters that overlap by
// find.size(). A `start` or `occurrence` below 1 counts as 1; occurrences do not overlap.
std::size_t FindChunked(std::size_t start, std::string_view text, std::string_view find,
                        CompareMode mode = CompareMode::Binary, long long occurrence = 1);

// Whether `text` begins with `prefix`, ASCII letters compared regardless of case.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

// Removes blanks (U+0020 only) at both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace tamsel
