#pragma once

// The lines of a link list, whatever kind of file it is: a hand-written list or a
// bookmarks export is read as it stands, a browser's own bookmark store as the export the
// browser would write for it.

#include <optional>
#include <string>
#include <string_view>

#include "support/file_system.h"
#include "support/line_splitter.h"

namespace tamsel {

// What a run says of a list that is missing or cannot be read.
inline constexpr std::string_view kListMessage =
    "Please enter a TXT file or a Firefox Bookmarks.html.";

// Hands every line of the list at `path` to `onLine`. The kind is told by the first bytes
// (StoreKindOf), never by the name: a Chromium store is read whole through `files`, a
// places.sqlite by ReadPlacesStore from `path` itself, and either gives the lines of its
// export; a file that turns out to be no store (NotAStore), and any other file, gives its
// own lines as FileSystem::ReadLines reads them.
//
// Nothing when every line went to `onLine`. Otherwise the message of the problem:
// kListMessage when the file could not be read (the lines before the failure were
// delivered), or StoreProblemMessage for a store that could not be read (none were).
// Whatever `onLine` throws passes through.
std::optional<std::string_view> ReadListLines(const std::string& path, FileSystem& files,
                                              const LineHandler& onLine);

}  // namespace tamsel
