#pragma once

// Puts a new menu file in place of the old one so that the old content is never lost: at every
// instant the menu file is the whole previous menu or the whole new one, and once it is the
// new one the backup holds the whole previous menu.

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
// (HeldFolder::ReadSource): writes `newText` durably to the menu's name plus ".tmp"; writes a
// durable copy of the file read to ".bak.tmp" and renames it over ".bak"; flushes the folder;
// puts the new file in place of the menu in one step and flushes again. That step swaps the
// two names where the file system can (HeldFolder::Exchange), so that what came out can be
// checked to be the file read, else renames the new file over the menu. All happens in the
// held folder; both new files get the file read's metadata as far as the platform allows.
//
// The menu's name must lead to the file read before anything is written and again at the last
// step, else WriteFailed, with whatever was renamed in back at that name. Leftovers at either
// temporary name are removed first (a link as a link), never written through; one that cannot
// be removed fails with nothing changed. When the last flush fails the previous menu goes back
// (swapped back, or copied from the backup): WriteFailed, or Unconfirmed where even that
// fails. On every failure the temporary files go and, but for Unconfirmed, the previous menu
// is under its own name. The backup is at every moment the previous one or the whole copy.
ReplaceResult ReplaceMenuFile(MenuSite& site, std::span<const std::string_view> newText);

// Puts the backup in place of the menu at `site` (locked and read as above) and makes the menu
// the backup, so that the menu as it was is whole under one of the two names at every moment.
// `backup` and `menu` are the two files' bytes. Where the file system can, the names are
// swapped in one step, each file keeping its metadata, and the folder flushed (swapped back
// should what came out not be the file read, or the flush fail). Elsewhere both are written
// under the temporary names, the folder flushed, the menu's copy renamed over the backup, the
// folder flushed, the restored menu renamed over the menu (right after looking that the name
// still leads to the file read), and the folder flushed again. WriteFailed, nothing changed,
// when the name no longer leads to the file read or a file cannot be written, swapped or put
// in place; BackupFailed, nothing changed, when the copy cannot be renamed over the backup or
// the flush after it fails (the backup then goes back); Unconfirmed when both are in place
// but the last flush failed (and, where swapped, so did swapping back).
ReplaceResult RestoreMenuFile(MenuSite& site, std::string_view backup, std::string_view menu);

// Puts `backup` (read as the source) in place of a menu that is gone: written to a new file
// with its metadata, flushed, renamed to the menu's name unless something stands there by
// then, and the folder flushed. WriteFailed, nothing changed, when that fails; Unconfirmed
// when only the flush failed.
ReplaceResult RestoreMissingMenu(MenuSite& site, std::string_view backup);

}  // namespace tamsel
