#pragma once

// How a link list's bytes become text for the menu. A UTF-8 menu can only be read back when
// all put into it is well-formed UTF-8 of characters XML allows, whatever the list's encoding;
// into a menu in another encoding the list's bytes go as they are.

#include <cstddef>
#include <string>
#include <string_view>

namespace tamsel {

// Whether the menu is UTF-8: it has no XML declaration at its start (behind a UTF-8 byte-order
// mark if any), or one that gives no encoding or "UTF-8" or "utf8" in any letter case.
bool MenuIsUtf8(std::string_view menu);

// How many bytes at a list's start (a byte-order mark dropped) may hold its "charset=".
inline constexpr std::size_t kCharsetWindow = 2048;

// Whether `head`, a list's start, declares UTF-8: the first "charset=" (any case) wholly within
// kCharsetWindow bytes is followed, behind blanks, TABs and at most one quote, by a label of
// ASCII letters, digits, "-", "_", "." and ":" that is "utf-8" or "utf8" in any letter case.
bool DeclaresUtf8Charset(std::string_view head);

// How the lines of a list are read.
enum class ListReading {
    AsIs,          // byte for byte, into a menu that is not UTF-8
    Utf8,          // as UTF-8, which the list is expected to be
    RepairedUtf8,  // a list that declares UTF-8 but is not: each ill-formed part as U+FFFD
    Windows1252,   // a list that is not UTF-8 and declares no UTF-8
};

// Thrown by ListText::Line when a list read as UTF-8 holds a line that is not.
struct ListNotUtf8 {};

// Turns each line of a list into the text to parse: in every reading but AsIs, well-formed
// UTF-8 with the characters ReplaceControlCharacters (support/utf8_repair.h) replaces as U+FFFD.
class ListText {
  public:
    explicit ListText(ListReading reading) : reading_(reading) {}

    // The line as text, valid until the next call: `line` itself when nothing changes (the
    // usual case, one look at each byte). Throws ListNotUtf8 in the Utf8 reading for a line
    // that is not well-formed.
    std::string_view Line(std::string_view line);

  private:
    ListReading reading_;
    std::string text_;
};

}  // namespace tamsel
