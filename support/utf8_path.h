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

// The UTF-16 form of a UTF-8 path (support/utf16.h) for the ...W calls, empty when the
// path is not passable, and in the form that lifts the system's limit of MAX_PATH
// characters when the path is that long: made absolute against the current folder and
// prefixed with "\\?\" (or "\\?\UNC\" for a network path). Shorter paths keep their
// spelling, so the system resolves "." and ".." in them as usual. Invalid UTF-8 sequences
// become U+FFFD, so such a path names no existing file rather than a different one.
std::wstring WidenPath(std::string_view utf8);

#endif  // _WIN32

}  // namespace tamsel
