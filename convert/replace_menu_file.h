#pragma once

// Puts a new menu file in place of the old one so that the old content is never lost: at
// every instant the menu file is whole, the previous menu or the new one, and once it is
// the new one the backup holds the whole previous menu.

#include <span>
#include <string>
#include <string_view>

#include "convert/menu_lock.h"
#include "support/file_system.h"

namespace tamsel {

enum class ReplaceResult {
    Replaced,      // the new text is in place and a copy of the old file is the backup
    BackupFailed,  // no backup could be made; the menu file is as it was
    WriteFailed,   // the new text could not be put in place; the menu file is as it was
    // The new text is in place as for Replaced, but the folder's last flush failed and the
    // change could not be undone: a power cut may yet take back part of it.
    Unconfirmed,
};

// Replaces the menu file at `site`, which the caller has locked (menu_lock.h) and read
// through the held folder (HeldFolder::ReadSource): writes `newText` durably to a new file
// named like the menu plus ".tmp", writes a durable copy of the file that was read to a new
// file plus ".bak.tmp" and renames it over the backup (plus ".bak"), flushes the folder,
// then puts the new file in place of the menu file in one step and flushes the folder again.
// That last step swaps the two names where the file system can (HeldFolder::Exchange), so
// that what it took out of the menu's name can be checked to be the file that was read, and
// else renames the new file over the menu file. Every step happens in the held folder. Both
// new files get the metadata of the file that was read (permissions, owner, extended
// attributes as far as the platform allows).
//
// The menu's name must still lead to the very file that was read, before anything is
// written and again at the last step; when it does not (a link or another file renamed in
// meanwhile), WriteFailed, and whatever was renamed in is back at the menu's name. Where the
// last step is a rename, the second look comes right before it, and a file renamed in after
// that look is replaced. Leftovers of an interrupted run at either temporary name are
// removed first, a link there as a link; one that cannot be removed fails the replacement
// with nothing changed, and nothing is ever written through a file or link standing at those
// names. When the folder's flush after the last step fails, the previous menu goes back in
// place (swapped back, or copied from the backup) and the result is WriteFailed; where even
// that fails, Unconfirmed. On every failure the temporary files are removed and, but for
// Unconfirmed, the previous menu file is under its own name. The backup is at every moment
// the previous backup or the whole copy; once the copy has been renamed into place it stays,
// even when the last step then fails.
ReplaceResult ReplaceMenuFile(MenuSite& site, std::span<const std::string_view> newText);

// Puts the backup in place of the menu file at `site`, locked and read as for
// ReplaceMenuFile, and makes the menu file read the backup, so that at every moment the menu
// as it was is whole under the menu's name or the backup's. `backup` and `menu` are the two
// files' bytes. Where the file system can, the two names are swapped in one step and the
// folder flushed: the restored menu and the backup are then the very files that were there,
// each with its own metadata; should what was swapped out of the menu's name not be the file
// read, or the flush fail, they are swapped back. Elsewhere both are written as new files
// under the temporary names and flushed, the folder flushed, the copy of the menu renamed
// over the backup, the folder flushed, the restored menu renamed over the menu file (right
// after looking that the menu's name still leads to the file read), and the folder flushed
// again; between those two renames the backup's bytes are only in the new file plus ".tmp".
// WriteFailed, nothing changed, when the menu's name no longer leads to the file read or a
// file cannot be written, swapped or put in place (the backup then goes back to its name);
// BackupFailed, nothing changed, when the copy cannot be renamed over the backup or the
// folder flushed after that (the backup then goes back to its name); Unconfirmed when both
// are in place but the last flush failed (and, where they were swapped, so did swapping back).
ReplaceResult RestoreMenuFile(MenuSite& site, std::string_view backup, std::string_view menu);

// Puts `backup` in place of a menu file that is gone, at `site`, which the caller has locked
// and whose backup it has read as the source (HeldFolder::ReadSource): written to a new file
// with the backup's metadata and flushed, renamed to the menu's name unless something stands
// there by then, and the folder flushed. The backup stays as it is. WriteFailed, nothing
// changed, when the new file cannot be written or something took the menu's name;
// Unconfirmed when it is in place but the folder's flush failed.
ReplaceResult RestoreMissingMenu(MenuSite& site, std::string_view backup);

}  // namespace tamsel
