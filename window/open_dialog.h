#pragma once

// The open-file dialog as the browse command asks for it, in terms every toolkit can show.

#include <string>
#include <string_view>
#include <vector>

namespace tamsel {

struct FileFilter {
    std::string description;  // e.g. "Text File (*.txt)"
    std::string patterns;     // e.g. "*.txt", or "*.txt;*.text" for more than one

    bool operator==(const FileFilter&) const = default;
};

struct OpenDialogRequest {
    std::string title;
    std::string barFilter;            // the filter as written: "description|pattern|..."
    std::vector<FileFilter> filters;  // the same as pairs; the first is selected
    std::string initialFolder;        // the box's text as it was, even a file's path or empty

    bool operator==(const OpenDialogRequest&) const = default;
};

// The pairs of a "description|pattern|..." filter, in order; a trailing "|" is optional, a
// description without a pattern (blanks only) dropped.
std::vector<FileFilter> ParseBarFilter(std::string_view barFilter);

// "description (patterns)", blank-separated, unless the description ends so already: for
// toolkits that read the patterns from the name.
std::string NameWithPatterns(const FileFilter& filter);

// The Windows dialog's filter list: each "|" a NUL, one added unless the filter ends in
// "|", so that the string's terminator makes the two NULs the dialog needs.
std::string NulSeparatedFilter(std::string_view barFilter);

// A dialog's file buffer up to its first NUL, without blanks (U+0020) at both ends.
std::string TrimAtNull(std::string_view buffer);

}  // namespace tamsel
