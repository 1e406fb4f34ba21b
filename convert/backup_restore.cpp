#include "convert/backup_restore.h"

#include <optional>
#include <string_view>

#include "convert/menu_site.h"
#include "convert/replace_menu_file.h"

namespace tamsel {

namespace {

constexpr std::string_view kNoBackupMessage = "ERROR: There is no Links.xml.bak to restore";
constexpr std::string_view kMenuMessage = "Please enter the Links.xml.";
constexpr std::string_view kBackupMessage = "ERROR: Could not create a backup of the Links.xml";
constexpr std::string_view kWriteMessage = "ERROR: Could not write the Links.xml";
constexpr std::string_view kBusyMessage = "ERROR: The Links.xml is being changed by another run";
constexpr std::string_view kLockInTheWayMessage = "ERROR: Could not lock the Links.xml: ";
constexpr std::string_view kMemoryMessage = "ERROR: Not enough memory to convert the list";

RunOutcome Outcome(RunStatus status, std::string message) {
    RunOutcome outcome;
    outcome.status = status;
    outcome.message = std::move(message);
    outcome.icon = status == RunStatus::Done ? MessageIcon::Information : MessageIcon::Exclamation;
    return outcome;
}

RunOutcome Failure(std::string_view message) {
    return Outcome(RunStatus::WriteError, std::string(message));
}

RunOutcome Restore(const std::string& linksPath, FileSystem& files,
                   std::chrono::milliseconds lockWait) {
    MenuSite site = LocateMenu(linksPath, files);
    const std::string backupName = site.name + ".bak";
    // Looked for before the lock too, so that asking for a backup that is not there leaves
    // not even a lock file behind.
    const auto hasBackup = [&] {
        const std::optional<std::string> bytes = site.held->Read(backupName);
        return bytes && !bytes->empty();
    };
    if (!site.held || !hasBackup()) {
        return Outcome(RunStatus::InputError, std::string(kNoBackupMessage));
    }
    const LockAttempt lock = LockMenuFile(site, lockWait);
    switch (lock.state) {
        case LockState::Held:
            break;
        case LockState::Busy:
            return Failure(kBusyMessage);
        case LockState::NotAFile:
            return Failure(std::string(kLockInTheWayMessage) + MenuLockPath(site.path()) +
                           " is not a plain file");
        case LockState::Failed:
            return Failure(kWriteMessage);
    }
    const std::optional<std::string> backup = site.held->Read(backupName);
    if (!backup || backup->empty()) {
        return Outcome(RunStatus::InputError, std::string(kNoBackupMessage));
    }
    if (!site.held->ReadSource(site.name)) {
        RunOutcome outcome = Outcome(RunStatus::InputError, std::string(kMenuMessage));
        outcome.icon = MessageIcon::Information;
        outcome.focusBox = RunInput::Menu;
        return outcome;
    }
    switch (RestoreMenuFile(site, *backup)) {
        case ReplaceResult::Replaced:
            return Outcome(RunStatus::Done, "Done");
        case ReplaceResult::BackupFailed:
            return Failure(kBackupMessage);
        case ReplaceResult::WriteFailed:
            break;
    }
    return Failure(kWriteMessage);
}

}  // namespace

RunOutcome RestoreBackup(const std::string& linksPath, FileSystem& files,
                         std::chrono::milliseconds lockWait) {
    // Only memory can run out on the way; the temporary files are gone by then.
    try {
        return Restore(linksPath, files, lockWait);
    } catch (const std::exception&) {
        return Failure(kMemoryMessage);
    }
}

}  // namespace tamsel
