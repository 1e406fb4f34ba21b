#pragma once

// Reading text written in the Windows ANSI code page of Western Europe.

#include <string>
#include <string_view>

namespace tamsel {

// Appends `bytes` read as windows-1252 to `out` as UTF-8, as the WHATWG encoding standard
// maps them: 0x80-0x9F to the code page's letters and signs, the five bytes it leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) to the C1 control of the same value, every other
// byte to the code point of the same value.
void AppendWindows1252(std::string_view bytes, std::string& out);

}  // namespace tamsel
