#include "convert/replace_menu_file.h"

#include "support/path.h"

namespace tamsel {

namespace {

// Makes the current menu file the backup. A backup left over from an earlier run is
// replaced; one that cannot be removed stops the replacement.
bool MakeBackup(const std::string& menuPath, const std::string& backupPath, FileSystem& files) {
    if (files.FileExists(backupPath)) {
        files.Remove(backupPath);
    }
    if (files.FileExists(backupPath)) {
        return false;
    }
    // A zero-byte leftover counts as missing above and is simply renamed over.
    if (!files.Rename(menuPath, backupPath)) {
        return false;
    }
    if (!files.FileExists(backupPath)) {
        files.Rename(backupPath, menuPath);
        return false;
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    std::string folder = ExtractPath(path);
    return folder.empty() ? std::string(".") : folder;
}

}  // namespace

ReplaceResult ReplaceMenuFile(const std::string& menuPath, std::string_view newText,
                              FileSystem& files) {
    const std::string temporaryPath = menuPath + ".tmp";
    const std::string backupPath = menuPath + ".bak";

    // The new text reaches the disk before the old file is touched, so a crash from here
    // on leaves a complete old menu under one of its two names.
    if (!files.WriteDurable(temporaryPath, newText)) {
        files.Remove(temporaryPath);
        return ReplaceResult::WriteFailed;
    }
    if (!MakeBackup(menuPath, backupPath, files)) {
        files.Remove(temporaryPath);
        return ReplaceResult::BackupFailed;
    }
    if (!files.Rename(temporaryPath, menuPath)) {
        files.Rename(backupPath, menuPath);
        files.Remove(temporaryPath);
        return ReplaceResult::WriteFailed;
    }
    if (!files.SyncFolder(FolderOf(menuPath))) {
        // The renames may not be on the disk; the old menu goes back to its own name
        // rather than leaving the user with a new file of unknown durability.
        files.Rename(backupPath, menuPath);
        return ReplaceResult::WriteFailed;
    }
    return ReplaceResult::Replaced;
}

}  // namespace tamsel
