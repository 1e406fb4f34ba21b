#pragma once

// How the platform layer hands UTF-8 path texts to the system.

#include <string>
#include <string_view>

namespace tamsel {

// Whether a path text can be handed to the system as it is: not empty and free of NUL
// bytes. A NUL would silently cut the path short and make a call act on another file.
inline bool IsPassablePath(std::string_view path) {
    return !path.empty() && path.find('\0') == std::string_view::npos;
}

#ifdef _WIN32

// The UTF-16 form of a UTF-8 path for the ...W calls, empty when the path is not passable.
// A path as long as MAX_PATH takes the form that lifts that limit: absolute, prefixed with
// "\\?\" (or "\\?\UNC\" for a network path); shorter ones keep their spelling, "." and
// ".." resolved by the system. Invalid UTF-8 becomes U+FFFD, so such a path names no file
// rather than a different one.
std::wstring WidenPath(std::string_view utf8);

#endif  // _WIN32

}  // namespace tamsel
