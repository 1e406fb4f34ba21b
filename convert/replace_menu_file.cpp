#include "convert/replace_menu_file.h"

#include <optional>

namespace tamsel {

namespace {

// The names a replacement works with, all in the menu file's folder.
struct MenuNames {
    std::string menu;
    std::string temporary;
    std::string backup;
    std::string backupTemporary;
};

// Writes a new file `name`; what an interrupted run left there goes first, and what cannot be
// removed fails the write untouched: the file is only ever created new.
bool WriteFresh(HeldFolder& folder, const std::string& name,
                std::span<const std::string_view> pieces) {
    folder.Remove(name);
    if (folder.WriteNew(name, pieces)) {
        return true;
    }
    folder.Remove(name);
    return false;
}

// Copies the file read (from the open file, never from what its name leads to by now) or
// `from` to `to`: written and flushed as `temporary`, then renamed over `to` in one step, so
// that `to` is at every moment what it was or the whole copy.
bool CopyInOneStep(HeldFolder& folder, const std::string& temporary, const std::string& to,
                   const std::string& from = {}) {
    bool written = false;
    {  // the copy's bytes are let go before the rename
        const std::optional<std::string> bytes =
            from.empty() ? folder.ReadSourceAgain() : folder.Read(from);
        if (bytes) {
            const std::string_view piece = *bytes;
            written = WriteFresh(folder, temporary, std::span(&piece, 1));
        }
    }
    if (written && folder.Rename(temporary, to)) {
        return true;
    }
    folder.Remove(temporary);
    return false;
}

// The last step where names cannot be swapped: the new menu renamed over the old one right
// after looking that the old one is still the file read.
ReplaceResult RenameInPlace(HeldFolder& folder, const MenuNames& names) {
    if (!folder.IsSource(names.menu) || !folder.Rename(names.temporary, names.menu)) {
        folder.Remove(names.temporary);
        return ReplaceResult::WriteFailed;
    }
    if (folder.Sync()) {
        return ReplaceResult::Replaced;
    }
    // The rename may not be on the disk: the old menu goes back (a copy of the backup) rather
    // than leave a new file of unknown durability.
    if (!CopyInOneStep(folder, names.temporary, names.menu, names.backup)) {
        return ReplaceResult::Unconfirmed;
    }
    folder.Sync();
    return ReplaceResult::WriteFailed;
}

// The last step: the new menu and the old one swap names. What comes out of the menu's name
// must be the file read, else it was renamed in meanwhile and goes back; should the flush
// fail, swapping back puts the old menu itself in place again.
ReplaceResult SwapInPlace(HeldFolder& folder, const MenuNames& names) {
    switch (folder.Exchange(names.temporary, names.menu)) {
        case ExchangeResult::Unsupported:
            return RenameInPlace(folder, names);
        case ExchangeResult::Failed:
            folder.Remove(names.temporary);
            return ReplaceResult::WriteFailed;
        case ExchangeResult::Exchanged:
            break;
    }
    const bool read = folder.IsSource(names.temporary);
    const bool synced = read && folder.Sync();
    if (!synced && folder.Exchange(names.temporary, names.menu) == ExchangeResult::Exchanged) {
        folder.Sync();
        folder.Remove(names.temporary);
        return ReplaceResult::WriteFailed;
    }
    // The old menu, whose copy is the backup, goes; something else that came out stays.
    if (read) {
        folder.Remove(names.temporary);
    }
    return synced ? ReplaceResult::Replaced : ReplaceResult::Unconfirmed;
}

ReplaceResult Replace(HeldFolder& folder, const MenuNames& names,
                      std::span<const std::string_view> newText) {
    // The file read is the file replaced: a link or file renamed in at the menu's name since
    // must not send the new menu or its backup elsewhere.
    if (!folder.IsSource(names.menu)) {
        return ReplaceResult::WriteFailed;
    }
    // The new text and the backup reach the disk, names included, before the menu is
    // replaced: a crash or power cut at any moment leaves the whole old menu under its name, or
    // the whole new one there and the old one as the backup. The backup is a copy, not a
    // rename: the menu keeps its name until the new one takes it in one step.
    if (!WriteFresh(folder, names.temporary, newText)) {
        return ReplaceResult::WriteFailed;
    }
    if (!CopyInOneStep(folder, names.backupTemporary, names.backup) || !folder.Sync()) {
        folder.Remove(names.temporary);
        return ReplaceResult::BackupFailed;
    }
    folder.CloseSource();
    return SwapInPlace(folder, names);
}

// A restore where names cannot be swapped: copies of both, renamed into place in turn, the
// menu's over the backup first, so that the menu as it was is whole under one of the two
// names at every moment; until the second rename the backup's bytes are only in the
// temporary file.
ReplaceResult RestoreByCopies(HeldFolder& folder, const MenuNames& names, std::string_view backup,
                              std::string_view menu) {
    const bool written = WriteFresh(folder, names.temporary, std::span(&backup, 1)) &&
                         WriteFresh(folder, names.backupTemporary, std::span(&menu, 1));
    folder.CloseSource();
    if (!written || !folder.Sync()) {
        folder.Remove(names.backupTemporary);
        folder.Remove(names.temporary);
        return ReplaceResult::WriteFailed;
    }
    if (!folder.Rename(names.backupTemporary, names.backup)) {
        folder.Remove(names.backupTemporary);
        folder.Remove(names.temporary);
        return ReplaceResult::BackupFailed;
    }
    // Keeps the two renames in order on the disk.
    const bool ordered = folder.Sync();
    if (!ordered || !folder.IsSource(names.menu) || !folder.Rename(names.temporary, names.menu)) {
        // The backup goes back under its name (and stays in the temporary file should that fail).
        if (folder.Rename(names.temporary, names.backup)) {
            folder.Sync();
        }
        return ordered ? ReplaceResult::WriteFailed : ReplaceResult::BackupFailed;
    }
    return folder.Sync() ? ReplaceResult::Replaced : ReplaceResult::Unconfirmed;
}

// A restore in one step: the menu and the backup swap names. The file read is still open, so
// that the copies, should names not swap, get its metadata.
ReplaceResult Restore(HeldFolder& folder, const MenuNames& names, std::string_view backup,
                      std::string_view menu) {
    if (!folder.IsSource(names.menu)) {
        return ReplaceResult::WriteFailed;
    }
    switch (folder.Exchange(names.menu, names.backup)) {
        case ExchangeResult::Unsupported:
            return RestoreByCopies(folder, names, backup, menu);
        case ExchangeResult::Failed:
            return ReplaceResult::WriteFailed;
        case ExchangeResult::Exchanged:
            break;
    }
    // What came out of the menu's name must be the file read; anything else goes back.
    const bool read = folder.IsSource(names.backup);
    if (read && folder.Sync()) {
        return ReplaceResult::Replaced;
    }
    if (folder.Exchange(names.menu, names.backup) != ExchangeResult::Exchanged) {
        return ReplaceResult::Unconfirmed;
    }
    folder.Sync();
    return ReplaceResult::WriteFailed;
}

ReplaceResult RestoreMissing(HeldFolder& folder, const MenuNames& names, std::string_view backup) {
    if (!WriteFresh(folder, names.temporary, std::span(&backup, 1)) ||
        !folder.RenameNew(names.temporary, names.menu)) {
        folder.Remove(names.temporary);
        return ReplaceResult::WriteFailed;
    }
    return folder.Sync() ? ReplaceResult::Replaced : ReplaceResult::Unconfirmed;
}

// Runs `step` on the site's folder. Should memory run out (reading the menu for its copy), the
// menu and the backup are as they were, and no temporary file may stay.
template <typename Step, typename... Texts>
ReplaceResult Guarded(MenuSite& site, Step step, Texts... texts) {
    if (!site.held) {
        return ReplaceResult::WriteFailed;
    }
    const std::string& menu = site.name;
    const MenuNames names{menu, menu + ".tmp", menu + ".bak", menu + ".bak.tmp"};
    try {
        return step(*site.held, names, texts...);
    } catch (...) {
        site.held->Remove(names.backupTemporary);
        site.held->Remove(names.temporary);
        throw;
    }
}

}  // namespace

ReplaceResult RestoreMenuFile(MenuSite& site, std::string_view backup, std::string_view menu) {
    return Guarded(site, Restore, backup, menu);
}

ReplaceResult RestoreMissingMenu(MenuSite& site, std::string_view backup) {
    return Guarded(site, RestoreMissing, backup);
}

ReplaceResult ReplaceMenuFile(MenuSite& site, std::span<const std::string_view> newText) {
    return Guarded(site, Replace, newText);
}

}  // namespace tamsel
