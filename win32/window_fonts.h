#pragma once

// The window's fonts at a given resolution.

#include <windows.h>

#include "window/form_layout.h"

namespace tamsel::win32 {

// A font of the layout at `dpi` dots per inch, which the caller owns. A style without a
// face or size takes the window font's; the window font's face is used where the system
// has it, else the system's own user-interface font.
HFONT CreateLayoutFont(const FontStyle& style, int dpi);

}  // namespace tamsel::win32
