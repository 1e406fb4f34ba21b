#include "cli/convert_command.h"

#include <ostream>

#include "cli/command_line.h"
#include "cli/executable_folder.h"
#include "convert/backup_restore.h"
#include "convert/conversion_run.h"

namespace tamsel {

int RunConvertCommand(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err, FileSystem& files) {
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
        case CommandLine::Action::Run:
            break;
    }
    const RunPaths paths{
        line.listPath,
        line.linksPath,
        WithTrailingSeparator(line.appFolder.empty() ? ExecutableFolder() : line.appFolder),
    };
    const RunOutcome outcome = RunConversion(paths, files);
    (outcome.status == RunStatus::Done ? out : err) << outcome.message << '\n';
    return ExitCodeFor(outcome.status);
}

}  // namespace tamsel
