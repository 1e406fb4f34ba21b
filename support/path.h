#pragma once

#include <string>
#include <string_view>

namespace tamsel {

// Whether a path text can be handed to the system as it is: not empty and free of NUL
// bytes. A NUL would silently cut the path short and make a call act on another file.
inline bool IsPassablePath(std::string_view path) {
    return !path.empty() && path.find('\0') == std::string_view::npos;
}

// The separator the platform's own file calls put between folders.
#ifdef _WIN32
inline constexpr char kNativeSeparator = '\\';
#else
inline constexpr char kNativeSeparator = '/';
#endif

// The folder part of a path, ending in its separator: the path is cut in front of its
// first "?", then taken up to its last "\" when it holds one, else up to its last "/".
// Empty when neither separator occurs. A path ending in a separator comes back whole.
std::string ExtractPath(std::string_view pathAndFile);

// ExtractPath without the cut at "?", which a name may hold (and a Windows long path begins
// with "\\?\"): for the folders that files are read from, written to or opened in.
std::string FolderOfFile(std::string_view path);

// The folder part of a path as the platform's file calls read it, ending in its separator:
// the last "/" on POSIX (where "\" is part of a name), the last "\" or "/" on Windows. Empty
// when there is none. For the folders that files are created, renamed and flushed in.
std::string NativeFolderOf(std::string_view path);

// The folder part of a listing pattern (a path whose last element may hold the wildcards
// "*" and "?", as the path boxes and the icon lookup list folders by): NativeFolderOf, and
// on Windows "C:" for a pattern such as "C:name" that names the drive's current folder. A
// completed path is this part followed by a name of the listing.
std::string ListingFolderPart(std::string_view pattern);

// `folder` ending in a separator of the platform's file calls: kNativeSeparator is added
// unless one is there (on Windows "\" or "/"). An empty folder gets one too.
std::string WithNativeSeparatorAtEnd(std::string folder);

}  // namespace tamsel
