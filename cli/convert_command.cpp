#include "cli/convert_command.h"

#include <ostream>

#include "cli/browsers_command.h"
#include "cli/command_line.h"
#include "cli/folders_command.h"
#include "cli/terminal_progress.h"
#include "convert/backup_restore.h"
#include "convert/conversion_run.h"
#include "support/program_folder.h"

namespace tamsel {

namespace {

// Prints each link's decision as it is made: "add" or "skip", its id, title and address,
// separated by TABs (none of them holds one: a list's TABs become blanks).
RunOutcome Preview(const RunPaths& paths, std::ostream& out, FileSystem& files) {
    return PreviewConversion(
        paths,
        [&out](const LinkDecision& link) {
            out << (link.added ? "add" : "skip") << '\t' << link.id << '\t' << link.title << '\t'
                << link.url << '\n';
        },
        files);
}

}  // namespace

int RunConvertCommand(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err, FileSystem& files, bool progress) {
    const CommandLine line = ParseCommandLine(arguments);
    switch (line.action) {
        case CommandLine::Action::Help:
            out << UsageText();
            return kExitDone;
        case CommandLine::Action::Version:
            out << "tamsel-convert " << TAMSEL_VERSION << '\n';
            return kExitDone;
        case CommandLine::Action::UsageError:
            err << "tamsel-convert: " << line.error << "\n\n" << UsageText();
            return kExitUsage;
        case CommandLine::Action::Restore: {
            const RunOutcome outcome = RestoreBackup(line.linksPath, files);
            (outcome.status == RunStatus::Done ? out : err) << outcome.message << '\n';
            return ExitCodeFor(outcome.status);
        }
        case CommandLine::Action::Folders:
            return ListFolders(line.listPath, out, err, files);
        case CommandLine::Action::Browsers:
            return ListBrowserStores(CurrentUserFolders(), out, err, files);
        case CommandLine::Action::Run:
            break;
    }
    const RunPaths paths{
        line.listPath,
        line.linksPath,
        WithTrailingSeparator(line.appFolder.empty() ? ProgramFolder() : line.appFolder),
        line.folder,
    };
    TerminalProgress shown(err, progress && !line.dryRun);
    const RunOutcome outcome = line.dryRun ? Preview(paths, out, files)
                                           : RunConversion(paths, files, kMenuLockWait, &shown);
    shown.Clear();
    const bool fine =
        outcome.status == RunStatus::Done || outcome.status == RunStatus::NothingToAdd;
    (fine ? out : err) << outcome.message << '\n';
    return ExitCodeFor(outcome.status);
}

}  // namespace tamsel
