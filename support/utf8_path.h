#pragma once

// The platform layer's conversion of UTF-8 path texts to and from the Windows wide API.
// Only Windows needs it: POSIX calls take the UTF-8 bytes as they are.

#ifdef _WIN32

#include <string>
#include <string_view>

namespace tamsel {

// The UTF-16 form of a UTF-8 path, for the ...W calls. Invalid UTF-8 sequences become
// U+FFFD, so such a path names no existing file rather than a different one.
std::wstring WidenUtf8(std::string_view utf8);

// The UTF-8 form of a UTF-16 text that the system handed back (a folder entry, say).
std::string NarrowToUtf8(std::wstring_view wide);

}  // namespace tamsel

#endif  // _WIN32
