#include "convert/replace_menu_file.h"

#include <optional>

namespace tamsel {

namespace {

// The entries a replacement works with, all in the menu file's folder.
struct MenuNames {
    std::string menu;
    std::string temporary;
    std::string backup;
    std::string backupTemporary;
};

MenuNames NamesFor(const std::string& menu) {
    return {menu, menu + ".tmp", menu + ".bak", menu + ".bak.tmp"};
}

// Writes a new file `name`. Whatever an interrupted run left there goes first; whatever
// cannot be removed stays untouched and fails the write, since the file is only ever
// created new and never opened where it stands.
bool WriteFresh(HeldFolder& folder, const std::string& name,
                std::span<const std::string_view> pieces) {
    folder.Remove(name);
    if (folder.WriteNew(name, pieces)) {
        return true;
    }
    folder.Remove(name);
    return false;
}

// Copies the file that was read (or, with `from`, that file) to `to`: written and flushed
// under the name `temporary`, then renamed over `to` in one step, so that `to` is at every
// moment either what it was or the whole copy. The temporary file never stays. The file
// that was read is copied from the open file, never from whatever its name leads to by now.
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

// Makes a copy of the current menu file the backup. A copy rather than a rename of the menu
// file: the menu file keeps its name until the new one takes it over in one step.
bool MakeBackup(HeldFolder& folder, const MenuNames& names) {
    return CopyInOneStep(folder, names.backupTemporary, names.backup);
}

// The rename of the new menu may not be on the disk: the old menu goes back under its own
// name rather than leaving the user with a new file of unknown durability. It comes back as a
// copy of the backup, which stays what it is.
void PutPreviousMenuBack(HeldFolder& folder, const MenuNames& names) {
    CopyInOneStep(folder, names.temporary, names.menu, names.backup);
    folder.Sync();
}

ReplaceResult Replace(HeldFolder& folder, const MenuNames& names,
                      std::span<const std::string_view> newText) {
    // The file read is the file replaced: a link or another file renamed in at the menu's
    // name since it was read (by someone who may write the folder) must not have the new
    // menu, or its backup, go anywhere else.
    if (!folder.IsSource(names.menu)) {
        return ReplaceResult::WriteFailed;
    }
    // Both the new text and the backup reach the disk, names included, before the menu file
    // is replaced: a crash or a power cut at any moment leaves the whole old menu under its
    // own name, or the whole new one there and the old one as the backup.
    if (!WriteFresh(folder, names.temporary, newText)) {
        return ReplaceResult::WriteFailed;
    }
    if (!MakeBackup(folder, names) || !folder.Sync()) {
        folder.Remove(names.temporary);
        return ReplaceResult::BackupFailed;
    }
    folder.CloseSource();
    if (!folder.IsSource(names.menu) || !folder.Rename(names.temporary, names.menu)) {
        folder.Remove(names.temporary);
        return ReplaceResult::WriteFailed;
    }
    if (!folder.Sync()) {
        PutPreviousMenuBack(folder, names);
        return ReplaceResult::WriteFailed;
    }
    return ReplaceResult::Replaced;
}

ReplaceResult Restore(HeldFolder& folder, const MenuNames& names, std::string_view backup,
                      std::string_view menu) {
    if (!folder.IsSource(names.menu)) {
        return ReplaceResult::WriteFailed;
    }
    const bool written = WriteFresh(folder, names.temporary, std::span(&backup, 1)) &&
                         WriteFresh(folder, names.backupTemporary, std::span(&menu, 1));
    folder.CloseSource();
    if (!written || !folder.Sync() || !folder.IsSource(names.menu) ||
        !folder.Rename(names.temporary, names.menu)) {
        folder.Remove(names.backupTemporary);
        folder.Remove(names.temporary);
        return ReplaceResult::WriteFailed;
    }
    if (!folder.Rename(names.backupTemporary, names.backup)) {
        // The file read goes back under the menu's name in one step, whole.
        folder.Rename(names.backupTemporary, names.menu);
        folder.Remove(names.backupTemporary);
        folder.Sync();
        return ReplaceResult::BackupFailed;
    }
    // Both names hold whole files whatever the disk keeps of the renames; the caller hears
    // that this last flush failed.
    return folder.Sync() ? ReplaceResult::Replaced : ReplaceResult::WriteFailed;
}

// Runs `step` on the site's folder. Should memory run out on the way (reading the menu for
// its copy), the menu and the backup are as they were, and no temporary file may stay.
template <typename Step>
ReplaceResult Guarded(MenuSite& site, Step step) {
    if (!site.held) {
        return ReplaceResult::WriteFailed;
    }
    const MenuNames names = NamesFor(site.name);
    try {
        return step(*site.held, names);
    } catch (...) {
        site.held->Remove(names.backupTemporary);
        site.held->Remove(names.temporary);
        throw;
    }
}

}  // namespace

ReplaceResult RestoreMenuFile(MenuSite& site, std::string_view backup, std::string_view menu) {
    return Guarded(site, [&](HeldFolder& folder, const MenuNames& names) {
        return Restore(folder, names, backup, menu);
    });
}

ReplaceResult ReplaceMenuFile(MenuSite& site, std::span<const std::string_view> newText) {
    return Guarded(site, [&](HeldFolder& folder, const MenuNames& names) {
        return Replace(folder, names, newText);
    });
}

ReplaceResult ReplaceMenuFile(const std::string& menuPath, std::string_view newText,
                              FileSystem& files) {
    return ReplaceMenuFile(menuPath, std::span<const std::string_view>(&newText, 1), files);
}

ReplaceResult ReplaceMenuFile(const std::string& menuPath,
                              std::span<const std::string_view> newText, FileSystem& files) {
    MenuSite site = LocateMenu(menuPath, files);
    if (!site.held || !site.held->ReadSource(site.name)) {
        return ReplaceResult::BackupFailed;
    }
    return ReplaceMenuFile(site, newText);
}

}  // namespace tamsel
