#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tamsel {

// Inserts `block` at the start of the line that holds the `occurrence`-th `tag` of `text`
// (searched ignoring ASCII case). The line starts behind the nearest line break before
// the tag: CR LF, a lone LF or a lone CR. False, with `text` unchanged, when there is no
// such occurrence or no line break before it.
bool InsertBeforeTag(std::string_view tag, std::string& text, std::string_view block,
                     int occurrence);

// Where InsertBeforeTag puts its block: the index at which the line that holds the
// `occurrence`-th `tag` begins. Nothing when InsertBeforeTag would leave the text as it is.
// Lets a caller place a block without inserting it, when it writes the text out in pieces.
std::optional<std::size_t> InsertionPoint(std::string_view tag, std::string_view text,
                                          int occurrence);

// InsertionPoint(tag, text, 1) of the text that `pieces` make up in order, without joining
// them unless a tag runs across pieces, the first tag's line begins in an earlier piece, or
// a piece is shorter than the tag. The index counts in that text.
std::optional<std::size_t> InsertionPoint(std::string_view tag,
                                          std::span<const std::string_view> pieces);

}  // namespace tamsel
