#pragma once

// Finding whole entries in a menu file's text, so that a link already in the menu is not
// added again and an id already used there is not used twice.

#include <cstddef>
#include <functional>
#include <memory_resource>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "support/hash_filter.h"

namespace tamsel {

// `text` without blanks, TABs, CR and LF at either end: the part of an entry that is
// compared, so that an entry written with other indentation or line breaks around it is
// found again.
std::string_view TrimEntry(std::string_view text);

// The first line of an entry (as TrimEntry leaves it), without the blanks and TABs around
// it: what a menu line holding the start of that entry holds.
std::string_view FirstLineOf(std::string_view entry);

// Whether `text` holds a "_" followed by a digit, as every entry of a suffixed id does.
bool HoldsSuffixDigits(std::string_view text);

// `text` with the digits behind each "_" dropped: the entries of the ids X_2, X_3, ... of
// one link differ only in those digits, so they all have the same shape.
std::string SuffixShape(std::string_view text);

// Each line of a menu text, known by its content without the blanks and TABs around it.
class MenuIndex {
  public:
    // Indexes every line of `menu` once; `menu` must stay as it is while the index is used.
    // A line ends at CR, LF or the end of the text.
    explicit MenuIndex(std::string_view menu);

    // Whether `entry` (as TrimEntry leaves it) stands in the menu byte for byte on lines of
    // its own: only blanks or TABs between the start of the line it begins on and it, and
    // between it and the end of the line it ends on. Text inside a longer line is not found.
    // An empty entry is never found.
    bool HoldsOnOwnLines(std::string_view entry) const;

    // Calls `visit` with the menu's text from the start of each line's content that is
    // `content` (or, with `byShape`, whose SuffixShape is `content` and that holds suffix
    // digits), in no particular order, until it returns true. Whether it did.
    bool AnyLineFrom(std::string_view content, bool byShape,
                     const std::function<bool(std::string_view from)>& visit) const;

  private:
    bool StandsAt(std::size_t start, std::string_view entry) const;

    std::string_view menu_;
    // The maps' nodes, lists and shapes, one or more per line, come from one pool that is
    // let go of at once.
    std::pmr::monotonic_buffer_resource pool_;
    // Where each line's content begins in the menu, by that content. A menu repeats many
    // lines ("</Table>"), which a multiset would chain in one bucket for every lookup that
    // lands there to walk.
    std::pmr::unordered_map<std::string_view, std::pmr::vector<std::size_t>> lines_{&pool_};
    HashFilter linesFilter_;  // in front of lines_: most entries looked up are new
    // Where the contents with suffix digits begin, by their shape.
    std::pmr::unordered_multimap<std::pmr::string, std::size_t> shapes_{&pool_};
};

}  // namespace tamsel
