#include "convert/replace_menu_file.h"

#include <optional>

#include "support/path.h"

namespace tamsel {

namespace {

// Makes a copy of the current menu file the backup. A backup left over from an earlier run
// is replaced; one that cannot be removed stops the replacement. A copy rather than a
// rename: the menu file keeps its name until the new one takes it over in one step, so no
// moment is left at which there is no menu file at all.
bool MakeBackup(const std::string& menuPath, const std::string& backupPath, FileSystem& files) {
    // Whatever file or link stands at the name goes, empty or dangling ones included, so
    // that the copy below is always a new file.
    files.Remove(backupPath);
    if (files.FileExists(backupPath)) {
        return false;
    }
    const std::optional<std::string> previous = files.ReadWhole(menuPath);
    if (!previous || !files.WriteDurable(backupPath, *previous)) {
        files.Remove(backupPath);
        return false;
    }
    return files.FileExists(backupPath);
}

std::string FolderOf(const std::string& path) {
    std::string folder = FolderOfFile(path);
    return folder.empty() ? std::string(".") : folder;
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
    const std::string menuFile = files.LinkTarget(menuPath);
    const std::string temporaryPath = menuFile + ".tmp";
    const std::string backupPath = menuFile + ".bak";
    const std::string folder = FolderOf(menuFile);

    // Both the new text and the backup reach the disk, names included, before the menu file
    // is replaced: a crash or a power cut at any moment leaves the whole old menu under its
    // own name, or the whole new one there and the old one as the backup. A leftover of an
    // interrupted run goes first, so that a link standing there is never written through.
    files.Remove(temporaryPath);
    if (!files.WriteDurablePieces(temporaryPath, newText)) {
        files.Remove(temporaryPath);
        return ReplaceResult::WriteFailed;
    }
    if (!MakeBackup(menuFile, backupPath, files) || !files.SyncFolder(folder)) {
        files.Remove(temporaryPath);
        return ReplaceResult::BackupFailed;
    }
    if (!files.Rename(temporaryPath, menuFile)) {
        files.Remove(temporaryPath);
        return ReplaceResult::WriteFailed;
    }
    if (!files.SyncFolder(folder)) {
        // The rename may not be on the disk; the old menu goes back to its own name
        // rather than leaving the user with a new file of unknown durability.
        files.Rename(backupPath, menuFile);
        return ReplaceResult::WriteFailed;
    }
    return ReplaceResult::Replaced;
}

}  // namespace tamsel
