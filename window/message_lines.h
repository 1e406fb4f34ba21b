#pragma once

// A message's long lines broken for a message box: a typed path of hundreds of characters
// made a box wider than the screen, or ran off its edge.

#include <functional>
#include <string>
#include <string_view>

namespace tamsel {

// How wide a text shows, in the unit a message is wrapped to (pixels in the box's font).
using TextWidth = std::function<int(std::string_view utf8)>;

// The width a message box's text may take on a screen `screenWidth` wide: the box, its icon
// and margins (`boxChrome`) included, about two thirds of the screen.
inline int MessageTextWidth(int screenWidth, int boxChrome) {
    return screenWidth * 2 / 3 - boxChrome;
}

// `message` with each line wider than `maxWidth` broken after "/", "\" or a blank, as
// much on each line as fits; a piece that fits no line is cut between characters, never
// inside one. Taking out the breaks added gives `message` again.
std::string WrapMessage(std::string_view message, int maxWidth, const TextWidth& width);

}  // namespace tamsel
