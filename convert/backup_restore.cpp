#include "convert/backup_restore.h"

#include <optional>
#include <string_view>

#include "convert/menu_lock.h"
#include "convert/replace_menu_file.h"

namespace tamsel {

namespace {

RunOutcome NoBackup() {
    return MakeOutcome(RunStatus::InputError, MessageIcon::Exclamation,
                       "ERROR: There is no Links.xml.bak to restore");
}

RunOutcome Restored(ReplaceResult result) {
    constexpr std::string_view kUnconfirmed =
        "ERROR: The Links.xml was restored, but the disk did not confirm the change";
    return ReplaceProblem(result, kUnconfirmed)
        .value_or(MakeOutcome(RunStatus::Done, MessageIcon::Information, "Done"));
}

RunOutcome Restore(const std::string& linksPath, FileSystem& files,
                   std::chrono::milliseconds lockWait) {
    MenuSite site = LocateMenu(linksPath, files);
    const std::string backupName = site.name + ".bak";
    // Looked for before the lock too, so that asking for a missing backup leaves not even a
    // lock file behind; read only under the lock, since a run may replace it until then.
    if (!site.held || !files.FileExists(site.folder + backupName)) {
        return NoBackup();
    }
    const LockAttempt lock = LockMenuFile(site, lockWait);
    if (std::optional<RunOutcome> problem = LockProblem(lock, site)) {
        return *problem;
    }
    // With the menu gone there is nothing to keep: the backup comes back as the menu, and
    // the new file gets the backup's metadata (the backup is read as the source).
    const bool menuGone = !site.held->HasEntry(site.name);
    const std::optional<std::string> backup =
        menuGone ? site.held->ReadSource(backupName) : site.held->Read(backupName);
    if (!backup || backup->empty()) {
        return NoBackup();
    }
    if (menuGone) {
        return Restored(RestoreMissingMenu(site, *backup));
    }
    const std::optional<std::string> menu = site.held->ReadSource(site.name);
    if (!menu) {
        return MakeOutcome(RunStatus::InputError, MessageIcon::Information, kMenuMessage,
                           RunInput::Menu);
    }
    return Restored(RestoreMenuFile(site, *backup, *menu));
}

}  // namespace

RunOutcome RestoreBackup(const std::string& linksPath, FileSystem& files,
                         std::chrono::milliseconds lockWait) {
    // Only memory can run out on the way; the temporary files are gone by then.
    try {
        return Restore(linksPath, files, lockWait);
    } catch (const std::exception&) {
        return WriteProblem(kMemoryMessage);
    }
}

}  // namespace tamsel
