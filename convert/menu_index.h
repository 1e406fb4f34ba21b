#pragma once

// Finding whole entries in a menu file's text, so that a link already in the menu is not
// added again and an id already used there is not used twice.

#include <cstddef>
#include <string_view>
#include <vector>

#include "convert/hash_slots.h"

namespace tamsel {

// `text` without blanks, TABs, CR and LF at either end: the part of an entry that is
// compared, so that an entry written with other indentation or line breaks around it is
// found again.
std::string_view TrimEntry(std::string_view text);

// The hash under which texts are indexed.
std::size_t HashOfText(std::string_view text);

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

    // The same for a caller that has the entry's FirstLineHash already.
    bool HoldsOnOwnLines(std::string_view entry, std::size_t firstLineHash) const;

    // What an entry is looked up by: the hash of its first line without the blanks and TABs
    // around it.
    static std::size_t FirstLineHash(std::string_view entry);

    // Readies a lookup of `firstLineHash` (see HashSlots::Prefetch).
    void Prefetch(std::size_t firstLineHash) const { groups_.Prefetch(firstLineHash); }

  private:
    struct Line {
        std::size_t hash;   // of the line without blanks and TABs at either end
        std::size_t start;  // where that content begins in the menu
        bool operator<(const Line& other) const;
    };

    bool StandsAt(std::size_t start, std::string_view entry) const;

    std::string_view menu_;
    std::vector<Line> lines_;  // sorted, so that the lines of one content stand together
    HashSlots groups_;         // where in lines_ the lines of each hash begin
};

}  // namespace tamsel
