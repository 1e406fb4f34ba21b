#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tamsel {

// Inserts `block` at the start of the line that holds the `occurrence`-th `tag` of `text`
// (ignoring ASCII case): behind the nearest line break (CR LF, LF or CR) before the tag. False,
// `text` unchanged, when there is no such occurrence or no line break before it.
bool InsertBeforeTag(std::string_view tag, std::string& text, std::string_view block,
                     int occurrence);

// Where InsertBeforeTag puts its block; nothing when it would leave the text as it is. Lets a
// caller that writes the text out in pieces place a block without inserting it.
std::optional<std::size_t> InsertionPoint(std::string_view tag, std::string_view text,
                                          int occurrence);

// InsertionPoint(tag, text, 1) of the text that `pieces` make up, without joining them unless
// a tag runs across pieces, the first tag's line begins in an earlier piece, or a piece is
// shorter than the tag.
std::optional<std::size_t> InsertionPoint(std::string_view tag,
                                          std::span<const std::string_view> pieces);

}  // namespace tamsel
