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

// Writes `newText` durably to a new file `menuPath` + ".tmp", writes a durable copy of the
// current menu file to a new file `menuPath` + ".bak.tmp" and renames it over the backup
// `menuPath` + ".bak", flushes the folder, then renames the new file over the menu file in
// one step and flushes the folder again. Both new files get the menu file's permissions,
// owner and extended attributes as far as the platform allows. Leftovers of an interrupted
// run at either temporary name are removed first; one that cannot be removed fails the
// replacement with nothing changed, and nothing is ever written through a file or link
// standing at those names. On every failure the temporary files are removed and the
// previous menu file is under its own name; the backup is at every moment the previous
// backup or the whole copy. When `menuPath` is a symbolic link, all of this happens to the
// file it leads to, beside that file, and the link is kept. The caller holds the menu's
// lock (menu_lock.h), which makes the fixed temporary names safe.
ReplaceResult ReplaceMenuFile(const std::string& menuPath, std::string_view newText,
                              FileSystem& files);

// The same with the new text given as pieces, written one after the other.
ReplaceResult ReplaceMenuFile(const std::string& menuPath,
                              std::span<const std::string_view> newText, FileSystem& files);

}  // namespace tamsel
