#include "convert/run_outcome.h"

namespace tamsel {

RunOutcome MakeOutcome(RunStatus status, MessageIcon icon, std::string_view message,
                       std::optional<RunInput> focus) {
    return RunOutcome{status, std::string(message), icon, focus, {}};
}

RunOutcome WriteProblem(std::string_view message) {
    return MakeOutcome(RunStatus::WriteError, MessageIcon::Exclamation, message);
}

std::optional<RunOutcome> LockProblem(const LockAttempt& lock, const MenuSite& site) {
    switch (lock.state) {
        case LockState::Held:
            return std::nullopt;
        case LockState::Busy:
            return WriteProblem("ERROR: The Links.xml is being changed by another run");
        case LockState::NotAFile:
            return WriteProblem("ERROR: Could not lock the Links.xml: " +
                                MenuLockPath(site.folder + site.name) + " is not a plain file");
        case LockState::Failed:
            break;
    }
    return WriteProblem(kWriteMessage);
}

std::optional<RunOutcome> ReplaceProblem(ReplaceResult result, std::string_view unconfirmed) {
    switch (result) {
        case ReplaceResult::Replaced:
            return std::nullopt;
        case ReplaceResult::BackupFailed:
            return WriteProblem("ERROR: Could not create a backup of the Links.xml");
        case ReplaceResult::Unconfirmed:
            return WriteProblem(unconfirmed);
        case ReplaceResult::WriteFailed:
            break;
    }
    return WriteProblem(kWriteMessage);
}

}  // namespace tamsel
