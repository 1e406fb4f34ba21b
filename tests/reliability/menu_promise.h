#pragma once

// The promise Tamsel makes about the menu file and its backup, as checks that tests and fuzz
// targets share. Each check returns an empty text when the promise holds, else what broke it.

#include <optional>
#include <string>

#include "convert/conversion_run.h"
#include "memory_file_system.h"

namespace tamsel::test {

// The menu file before a run and the one a clean run makes from it.
struct MenuVersions {
    std::string previous;
    std::string next;
    // The backup before the run, where a test checks that it is only ever replaced whole.
    std::optional<FileState> backupBefore = std::nullopt;
};

// At any moment, even when the run is cut short: the menu file is whole, either the previous
// or the new menu, and where it is the new one the backup holds the previous one. The backup
// is the one from before the run or the whole previous menu, where `backupBefore` is known.
std::string CheckAtAnyMoment(const FileState& menu, const FileState& backup,
                             const MenuVersions& versions);

// After a run that reported success: the new menu in place, the previous one as backup.
std::string CheckDone(const FileState& menu, const FileState& backup, const MenuVersions& versions);

// After a run that reported a failure: the menu file untouched.
std::string CheckFailed(const FileState& menu, const MenuVersions& versions);

// What a run says when the new menu is in place but the disk did not confirm its last step.
inline constexpr const char* kReplacedUnconfirmed =
    "ERROR: The Links.xml was replaced, but the disk did not confirm the change";

// A run's outcome against its files: a message always; after "Done" the new menu in place
// and the previous one as backup, both as the files stand and as a power cut would leave
// them; after kReplacedUnconfirmed the same as the files stand; after any other failure the
// menu file untouched.
std::string CheckOutcome(const RunOutcome& outcome, const MemoryFileSystem& files,
                         const std::string& menuPath, const MenuVersions& versions);

// What a restore starts from: the menu's bytes (none when it is gone), the backup's, and
// whether the file system swaps two names in one step.
struct RestoreStart {
    std::optional<std::string> menu;
    std::string backup;
    bool swaps = true;
};

// At any moment of a restore, even when cut short: the menu file and the backup are each
// whole (one of the two files' bytes) or gone; the menu as it was is under one of the two
// names, and so is the backup, or where names are not swapped, in the temporary file.
std::string CheckRestoreMoment(const FileState& menu, const FileState& backup,
                               const FileState& temporary, const RestoreStart& start);

// Checks CheckAtAnyMoment after every step of `files`, as the files stand and as a power cut
// would leave them; `broken` keeps the first failure, naming the step. `broken` and
// `versions` must outlive the watch.
void WatchEveryMoment(MemoryFileSystem& files, const std::string& menuPath,
                      const MenuVersions& versions, std::string& broken);

}  // namespace tamsel::test
