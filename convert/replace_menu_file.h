#pragma once

// Puts a new menu file in place of the old one so that the old content is never lost: at
// every instant the menu file is whole, the previous menu or the new one, and once it is
// the new one the backup holds the whole previous menu.

#include <span>
#include <string>
#include <string_view>

#include "convert/menu_site.h"
#include "support/file_system.h"

namespace tamsel {

enum class ReplaceResult {
    Replaced,      // the new text is in place and a copy of the old file is the backup
    BackupFailed,  // no backup could be made; the menu file is as it was
    WriteFailed,   // the new text could not be put in place; the menu file is as it was
};

// Replaces the menu file at `site`, which the caller has locked (menu_lock.h) and read
// through the held folder (HeldFolder::ReadSource): writes `newText` durably to a new file
// named like the menu plus ".tmp", writes a durable copy of the file that was read to a new
// file plus ".bak.tmp" and renames it over the backup (plus ".bak"), flushes the folder,
// then renames the new file over the menu file in one step and flushes the folder again.
// Every step happens in the held folder. Both new files get the metadata of the file that
// was read (permissions, owner, extended attributes as far as the platform allows).
//
// The menu's name must still lead to the very file that was read, before anything is
// written and again right before the final rename; when it does not (a link or another file
// renamed in meanwhile), WriteFailed. Leftovers of an interrupted run at either temporary
// name are removed first, a link there as a link; one that cannot be removed fails the
// replacement with nothing changed, and nothing is ever written through a file or link
// standing at those names. On every failure the temporary files are removed and the
// previous menu file is under its own name. The backup is at every moment the previous
// backup or the whole copy; once the copy has been renamed into place it stays, even when
// the final rename then fails.
ReplaceResult ReplaceMenuFile(MenuSite& site, std::span<const std::string_view> newText);

// Puts `backup` (the backup's bytes) in place of the menu file at `site`, locked and read as
// for ReplaceMenuFile, and makes `menu` (the bytes of the file that was read) the backup:
// both are written as new files under the temporary names and flushed, the folder flushed,
// then the restored menu is renamed over the menu file and the copy over the backup, and
// the folder flushed again.
// The menu goes first, so that a crash in between leaves the backup's bytes as the menu
// (the backup then holds them too). At every moment the menu file and the backup are each
// whole. WriteFailed (nothing changed) when the menu's name no longer leads to the file read
// or a file cannot be written or put in place; BackupFailed when the copy cannot be put in
// place, and then the menu file read is put back, so that nothing changed either.
ReplaceResult RestoreMenuFile(MenuSite& site, std::string_view backup, std::string_view menu);

// Locates the menu at `menuPath` (menu_site.h), reads it and replaces it with `newText`, for
// callers that need neither the lock nor the text read.
ReplaceResult ReplaceMenuFile(const std::string& menuPath, std::string_view newText,
                              FileSystem& files);

// The same with the new text given as pieces, written one after the other.
ReplaceResult ReplaceMenuFile(const std::string& menuPath,
                              std::span<const std::string_view> newText, FileSystem& files);

}  // namespace tamsel
