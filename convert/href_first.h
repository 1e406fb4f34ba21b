#pragma once

// Reading an anchor whose HREF is not its first attribute, as Firefox writes its live
// bookmarks (<DT><A FEEDURL="..." HREF="...">), like one whose HREF comes first.

#include <string>
#include <string_view>

namespace tamsel {

// When `line`, upper-cased, begins with "<DT><A " but not "<DT><A HREF=": sets `out` to `line`
// with the first " HREF=\"" (any case) outside quoted values before the tag's end, from its
// blank to its closing quote, moved right behind "<A": <DT><A FEEDURL="f" HREF="u">T</A>
// becomes <DT><A HREF="u" FEEDURL="f">T</A>. False, `out` untouched, for any other line, and
// when there is no such attribute or its value has no closing quote.
bool MoveHrefFirst(std::string_view line, std::string& out);

}  // namespace tamsel
