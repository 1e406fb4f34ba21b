#pragma once

// Puts a new menu file in place of the old one so that the old content is never lost: at
// every instant the menu file is whole, the previous menu or the new one, and once it is
// the new one the backup holds the whole previous menu.

#include <span>
#include <string>
#include <string_view>

#include "support/file_system.h"

namespace tamsel {

enum class ReplaceResult {
    Replaced,      // the new text is in place and a copy of the old file is the backup
    BackupFailed,  // no backup could be made; the menu file is as it was
    WriteFailed,   // the new text could not be put in place; the menu file is as it was
};

// Writes `newText` durably to `menuPath` + ".tmp", replaces any backup `menuPath` + ".bak"
// by a durable copy of the current menu file and flushes the folder, then renames the new
// file over the menu file in one step and flushes the folder again. On every failure the
// temporary file is removed and the previous menu file is under its own name. When
// `menuPath` is a symbolic link, all of this happens to the file it leads to, beside that
// file, and the link is kept.
ReplaceResult ReplaceMenuFile(const std::string& menuPath, std::string_view newText,
                              FileSystem& files);

// The same with the new text given as pieces, written one after the other.
ReplaceResult ReplaceMenuFile(const std::string& menuPath,
                              std::span<const std::string_view> newText, FileSystem& files);

}  // namespace tamsel
