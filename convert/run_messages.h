#pragma once

// The messages that a conversion and a restore share, for the same failures of the same
// steps: the menu's lock and the replacement of the menu file.

#include <optional>
#include <string>
#include <string_view>

#include "convert/menu_lock.h"
#include "convert/replace_menu_file.h"
#include "convert/run_outcome.h"
#include "support/file_system.h"

namespace tamsel {

inline constexpr std::string_view kMenuMessage = "Please enter the Links.xml.";
inline constexpr std::string_view kBackupMessage =
    "ERROR: Could not create a backup of the Links.xml";
inline constexpr std::string_view kWriteMessage = "ERROR: Could not write the Links.xml";
inline constexpr std::string_view kBusyMessage =
    "ERROR: The Links.xml is being changed by another run";
inline constexpr std::string_view kMemoryMessage = "ERROR: Not enough memory to convert the list";
// The change is made, but the disk did not confirm its last step (ReplaceResult::Unconfirmed).
inline constexpr std::string_view kReplacedUnconfirmedMessage =
    "ERROR: The Links.xml was replaced, but the disk did not confirm the change";
inline constexpr std::string_view kRestoredUnconfirmedMessage =
    "ERROR: The Links.xml was restored, but the disk did not confirm the change";

RunOutcome MakeOutcome(RunStatus status, MessageIcon icon, std::string_view message,
                       std::optional<RunInput> focus = std::nullopt);

// A WriteError with the exclamation icon and `message`.
RunOutcome WriteProblem(std::string_view message);

// Why a run stops when its attempt at the lock of the menu at `site` did not give the lock:
// another run holds it, something that is not a plain file stands at the lock's name, or no
// lock file could be made. Nothing when the lock is held.
std::optional<RunOutcome> LockProblem(const LockAttempt& lock, const MenuSite& site);

// Why a run stops when the menu file could not be replaced; nothing when it was. An
// unconfirmed replacement says `unconfirmed`.
std::optional<RunOutcome> ReplaceProblem(
    ReplaceResult result, std::string_view unconfirmed = kReplacedUnconfirmedMessage);

}  // namespace tamsel
