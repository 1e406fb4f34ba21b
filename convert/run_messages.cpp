#include "convert/run_messages.h"

#include "convert/menu_lock.h"

namespace tamsel {

RunOutcome WriteProblem(std::string message) {
    RunOutcome outcome;
    outcome.status = RunStatus::WriteError;
    outcome.message = std::move(message);
    outcome.icon = MessageIcon::Exclamation;
    return outcome;
}

std::optional<RunOutcome> LockProblem(const LockAttempt& lock, const MenuSite& site) {
    switch (lock.state) {
        case LockState::Held:
            return std::nullopt;
        case LockState::Busy:
            return WriteProblem(std::string(kBusyMessage));
        case LockState::NotAFile:
            return WriteProblem("ERROR: Could not lock the Links.xml: " +
                                MenuLockPath(site.Path()) + " is not a plain file");
        case LockState::Failed:
            break;
    }
    return WriteProblem(std::string(kWriteMessage));
}

std::optional<RunOutcome> ReplaceProblem(ReplaceResult result, std::string_view unconfirmed) {
    switch (result) {
        case ReplaceResult::Replaced:
            return std::nullopt;
        case ReplaceResult::BackupFailed:
            return WriteProblem(std::string(kBackupMessage));
        case ReplaceResult::Unconfirmed:
            return WriteProblem(std::string(unconfirmed));
        case ReplaceResult::WriteFailed:
            break;
    }
    return WriteProblem(std::string(kWriteMessage));
}

}  // namespace tamsel
