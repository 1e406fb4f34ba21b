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

// Replaces the menu file at `site`, locked (menu_lock.h) and read through the held folder
// (HeldFolder::ReadSource): writes `newText` durably to a new file, the menu's name plus
// ".tmp"; writes a durable copy of the file read to a new file plus ".bak.tmp" and renames it
// over the backup (plus ".bak"); flushes the folder; puts the new file in place of the menu
// in one step and flushes the folder again. That step swaps the two names where the file
// system can (HeldFolder::Exchange), so that what it took out can be checked to be the file
// read, and else renames the new file over the menu. Every step happens in the held folder,
// and both new files get the metadata of the file read (permissions, owner, extended
// attributes as far as the platform allows).
//
// The menu's name must still lead to the file read before anything is written and again at
// the last step, else WriteFailed, with whatever was renamed in back at the menu's name (a
// file renamed in between that look and a rename is replaced). Leftovers at either temporary
// name are removed first, a link as a link, and nothing is written through them; one that
// cannot be removed fails with nothing changed. When the folder's last flush fails, the
// previous menu goes back (swapped back, or copied from the backup): WriteFailed, or
// Unconfirmed where even that fails. On every failure the temporary files are removed and,
// but for Unconfirmed, the previous menu is under its own name. The backup is at every moment
// the previous one or the whole copy, and stays once renamed into place.
ReplaceResult ReplaceMenuFile(MenuSite& site, std::span<const std::string_view> newText);

// Puts the backup in place of the menu file at `site` (locked and read as for
// ReplaceMenuFile) and makes the menu the backup, so that the menu as it was is whole under
// one of the two names at every moment. `backup` and `menu` are the two files' bytes. Where
// the file system can, the two names are swapped in one step, each file keeping its own
// metadata, and the folder flushed (swapped back should what came out of the menu's name not
// be the file read, or the flush fail).
// Elsewhere both are written as new files under the temporary names, the folder flushed, the
// menu's copy renamed over the backup, the folder flushed, the restored menu renamed over
// the menu (right after looking that the name still leads to the file read), and the folder
// flushed again. WriteFailed, nothing changed, when the menu's name no longer leads to the
// file read or a file cannot be written, swapped or put in place; BackupFailed, nothing
// changed, when the copy cannot be renamed over the backup or the flush after it fails (the
// backup then goes back to its name); Unconfirmed when both are in place but the last flush
// failed (and, where swapped, so did swapping back).
ReplaceResult RestoreMenuFile(MenuSite& site, std::string_view backup, std::string_view menu);

// Puts `backup` in place of a menu file that is gone, at `site`, locked and with the backup
// read as the source: written to a new file with the backup's metadata, flushed, renamed to
// the menu's name unless something stands there by then, and the folder flushed. WriteFailed,
// nothing changed, when that fails; Unconfirmed when only the flush failed.
ReplaceResult RestoreMissingMenu(MenuSite& site, std::string_view backup);

}  // namespace tamsel
