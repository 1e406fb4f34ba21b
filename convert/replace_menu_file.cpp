#include "convert/replace_menu_file.h"

#include <optional>

#include "support/path.h"

namespace tamsel {

namespace {

// The names a replacement works with, all beside the menu file itself.
struct MenuNames {
    std::string menu;
    std::string temporary;
    std::string backup;
    std::string backupTemporary;
    std::string folder;
};

MenuNames NamesFor(const std::string& menuFile) {
    const std::string folder = NativeFolderOf(menuFile);
    return {menuFile, menuFile + ".tmp", menuFile + ".bak", menuFile + ".bak.tmp",
            folder.empty() ? std::string(".") : folder};
}

// Writes a new file at `path`. Whatever an interrupted run left there goes first; whatever
// cannot be removed stays untouched and fails the write, since the file is only ever
// created new and never opened where it stands.
bool WriteFresh(const std::string& path, std::span<const std::string_view> pieces,
                const std::string& likePath, FileSystem& files) {
    files.Remove(path);
    if (files.WriteNew(path, pieces, likePath)) {
        return true;
    }
    files.Remove(path);
    return false;
}

// Copies `from` to `to`: written and flushed under the name `temporary`, then renamed over
// `to` in one step, so that `to` is at every moment either what it was or the whole copy.
// The temporary file never stays.
bool CopyInOneStep(const std::string& from, const std::string& temporary, const std::string& to,
                   const std::string& likePath, FileSystem& files) {
    bool written = false;
    {  // the copy's bytes are let go before the rename
        const std::optional<std::string> bytes = files.ReadWhole(from);
        if (bytes) {
            const std::string_view piece = *bytes;
            written = WriteFresh(temporary, std::span(&piece, 1), likePath, files);
        }
    }
    if (written && files.Rename(temporary, to)) {
        return true;
    }
    files.Remove(temporary);
    return false;
}

// Makes a copy of the current menu file the backup. A copy rather than a rename of the menu
// file: the menu file keeps its name until the new one takes it over in one step.
bool MakeBackup(const MenuNames& names, FileSystem& files) {
    return CopyInOneStep(names.menu, names.backupTemporary, names.backup, names.menu, files);
}

// The rename of the new menu may not be on the disk: the old menu goes back under its own
// name rather than leaving the user with a new file of unknown durability. It comes back as a
// copy of the backup, which stays what it is.
void RestoreFromBackup(const MenuNames& names, FileSystem& files) {
    CopyInOneStep(names.backup, names.temporary, names.menu, names.menu, files);
    files.SyncFolder(names.folder);
}

ReplaceResult Replace(const MenuNames& names, std::span<const std::string_view> newText,
                      FileSystem& files) {
    // Both the new text and the backup reach the disk, names included, before the menu file
    // is replaced: a crash or a power cut at any moment leaves the whole old menu under its
    // own name, or the whole new one there and the old one as the backup.
    if (!WriteFresh(names.temporary, newText, names.menu, files)) {
        return ReplaceResult::WriteFailed;
    }
    if (!MakeBackup(names, files) || !files.SyncFolder(names.folder)) {
        files.Remove(names.temporary);
        return ReplaceResult::BackupFailed;
    }
    if (!files.Rename(names.temporary, names.menu)) {
        files.Remove(names.temporary);
        return ReplaceResult::WriteFailed;
    }
    if (!files.SyncFolder(names.folder)) {
        RestoreFromBackup(names, files);
        return ReplaceResult::WriteFailed;
    }
    return ReplaceResult::Replaced;
}

}  // namespace

ReplaceResult ReplaceMenuFile(const std::string& menuPath, std::string_view newText,
                              FileSystem& files) {
    return ReplaceMenuFile(menuPath, std::span<const std::string_view>(&newText, 1), files);
}

ReplaceResult ReplaceMenuFile(const std::string& menuPath,
                              std::span<const std::string_view> newText, FileSystem& files) {
    // A linked menu file is replaced where it lives, beside its own backup, and the link
    // stays; a rename over the link would put a plain file in its place.
    const MenuNames names = NamesFor(files.LinkTarget(menuPath));
    try {
        return Replace(names, newText, files);
    } catch (...) {
        // Memory ran out reading the menu for its copy: the menu and the backup are as
        // they were, and no temporary file may stay.
        files.Remove(names.backupTemporary);
        files.Remove(names.temporary);
        throw;
    }
}

}  // namespace tamsel
