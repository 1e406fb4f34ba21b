#include "menu_promise.h"

namespace tamsel::test {

namespace {

std::string Describe(const FileState& file, const MenuVersions& versions) {
    if (!file.present) {
        return "missing";
    }
    if (file.torn) {
        return "torn (never flushed)";
    }
    if (file.bytes == versions.previous) {
        return "the previous menu";
    }
    if (file.bytes == versions.next) {
        return "the new menu";
    }
    return "other bytes (" + std::to_string(file.bytes.size()) + " bytes)";
}

bool Holds(const FileState& file, const std::string& bytes) {
    return file.present && !file.torn && file.bytes == bytes;
}

}  // namespace

std::string CheckAtAnyMoment(const FileState& menu, const FileState& backup,
                             const MenuVersions& versions) {
    if (versions.backupBefore && !Holds(backup, versions.previous) &&
        !(backup.present ? Holds(*versions.backupBefore, backup.bytes) && !backup.torn
                         : !versions.backupBefore->present)) {
        return "backup is " + Describe(backup, versions) + ", neither the one before nor whole";
    }
    if (Holds(menu, versions.previous)) {
        return "";
    }
    if (Holds(menu, versions.next) && Holds(backup, versions.previous)) {
        return "";
    }
    return "menu is " + Describe(menu, versions) + ", backup is " + Describe(backup, versions);
}

std::string CheckRestoreMoment(const FileState& menu, const FileState& backup,
                               const FileState& temporary, const RestoreStart& start) {
    const std::string before = start.menu.value_or(start.backup);
    for (const FileState* file : {&menu, &backup}) {
        if (file->present && !Holds(*file, before) && !Holds(*file, start.backup)) {
            return "a file is torn or holds other bytes";
        }
    }
    if (start.menu && !Holds(menu, *start.menu) && !Holds(backup, *start.menu)) {
        return "the menu as it was is lost";
    }
    if (!Holds(menu, start.backup) && !Holds(backup, start.backup) &&
        (start.swaps || !Holds(temporary, start.backup))) {
        return "the backup is lost";
    }
    return "";
}

std::string CheckDone(const FileState& menu, const FileState& backup,
                      const MenuVersions& versions) {
    if (Holds(menu, versions.next) && Holds(backup, versions.previous)) {
        return "";
    }
    return "after Done, menu is " + Describe(menu, versions) + ", backup is " +
           Describe(backup, versions);
}

std::string CheckFailed(const FileState& menu, const MenuVersions& versions) {
    if (Holds(menu, versions.previous)) {
        return "";
    }
    return "after a failure, menu is " + Describe(menu, versions);
}

std::string CheckOutcome(const RunOutcome& outcome, const MemoryFileSystem& files,
                         const std::string& menuPath, const MenuVersions& versions) {
    const std::string backupPath = menuPath + ".bak";
    if (outcome.message.empty()) {
        return "no message";
    }
    // "Done", or "Done" with a note of the links that were in the menu already.
    const bool saysDone = outcome.message == "Done" || outcome.message.starts_with("Done\n\n");
    if (outcome.status != RunStatus::Done) {
        if (saysDone) {
            return "a failure reported as \"Done\"";
        }
        // Replaced all the same, as the files stand; a power cut may take it back.
        if (outcome.message == kReplacedUnconfirmed) {
            return CheckDone(files.Volatile(menuPath), files.Volatile(backupPath), versions);
        }
        return CheckFailed(files.Volatile(menuPath), versions);
    }
    if (!saysDone) {
        return "success reported as \"" + outcome.message + "\"";
    }
    const std::string now =
        CheckDone(files.Volatile(menuPath), files.Volatile(backupPath), versions);
    if (!now.empty()) {
        return now;
    }
    for (const PowerCut& cut : files.PowerCuts()) {
        const std::string durable = CheckDone(cut.File(menuPath), cut.File(backupPath), versions);
        if (!durable.empty()) {
            return "after a power cut: " + durable;
        }
    }
    return "";
}

void WatchEveryMoment(MemoryFileSystem& files, const std::string& menuPath,
                      const MenuVersions& versions, std::string& broken) {
    const std::string backupPath = menuPath + ".bak";
    files.OnStep([menuPath, backupPath, &versions, &broken](const MemoryFileSystem& now) {
        if (!broken.empty()) {
            return;
        }
        std::string found =
            CheckAtAnyMoment(now.Volatile(menuPath), now.Volatile(backupPath), versions);
        for (const PowerCut& cut : now.PowerCuts()) {
            if (!found.empty()) {
                break;
            }
            found = CheckAtAnyMoment(cut.File(menuPath), cut.File(backupPath), versions);
            found = found.empty() ? "" : "after a power cut: " + found;
        }
        if (!found.empty()) {
            const Step& step = now.Steps().back();
            broken = "after step " + std::to_string(now.Steps().size() - 1) + " (" +
                     Name(step.kind) + " " + step.path + "): " + found;
        }
    });
}

}  // namespace tamsel::test
