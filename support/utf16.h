#pragma once

// UTF-8 texts and paths as Windows' wide calls take and give them (UTF-16). Windows only.

#ifdef _WIN32

#include <string>
#include <string_view>

namespace tamsel {

// The UTF-16 form of a UTF-8 text, embedded NULs included (the open-file dialog's filter
// list is made of them). Invalid sequences become U+FFFD.
std::wstring Widen(std::string_view utf8);

// The UTF-8 form of a UTF-16 text, embedded NULs included; unpaired surrogates give U+FFFD.
std::string Narrow(std::wstring_view wide);

// The UTF-16 form of a UTF-8 path for the ...W calls, empty when the path is not passable
// (IsPassablePath). A path as long as MAX_PATH takes the form that lifts that limit:
// absolute, prefixed with "\\?\" (or "\\?\UNC\" for a network path); shorter ones keep
// their spelling, "." and ".." resolved by the system. Invalid UTF-8 becomes U+FFFD, so such
// a path names no file rather than a different one.
std::wstring WidenPath(std::string_view utf8);

}  // namespace tamsel

#endif  // _WIN32
