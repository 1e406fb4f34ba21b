#include "cli/convert_command.h"

#include <ostream>

#include "cli/command_line.h"
#include "cli/terminal_progress.h"
#include "convert/backup_restore.h"
#include "convert/browser_stores.h"
#include "convert/conversion_run.h"
#include "convert/list_folders.h"
#include "support/known_folders.h"

namespace tamsel {

namespace {

// Prints each link's decision as it is made, separated by TABs (none of the values holds
// one: a list's TABs become blanks).
RunOutcome Preview(const RunPaths& paths, std::ostream& out, FileSystem& files) {
    return PreviewConversion(
        paths,
        [&out](const LinkDecision& link) {
            out << (link.added ? "add" : "skip") << '\t' << link.id << '\t' << link.title << '\t'
                << link.url << '\n';
        },
        files);
}

int Reported(const RunOutcome& outcome, std::ostream& out, std::ostream& err) {
    const int code = ExitCodeFor(outcome.status);
    (code == kExitDone ? out : err) << outcome.message << '\n';
    return code;
}

// --folders: a line per folder, its path, TAB, the links in it and below it.
int ListFolders(const std::string& listPath, std::ostream& out, std::ostream& err,
                FileSystem& files) {
    std::string problem;
    const std::vector<ListFolder> folders = ReadListFolders(listPath, files, &problem);
    if (!problem.empty()) {
        err << problem << '\n';
        return kExitInputError;
    }
    if (folders.empty()) {
        err << "The list has no folders.\n";
    }
    for (const ListFolder& folder : folders) {
        out << folder.path << '\t' << folder.links << '\n';
    }
    return kExitDone;
}

// --browsers: a line per store, browser, TAB, profile, TAB, web bookmarks ("?" when
// unreadable), TAB, path.
int ListBrowserStores(std::ostream& out, std::ostream& err, FileSystem& files) {
    const std::vector<BrowserStore> stores = FindBrowserStores(CurrentUserFolders(), files);
    if (stores.empty()) {
        err << "No bookmarks of a browser were found for this user.\n";
    }
    for (const BrowserStore& store : stores) {
        const std::optional<std::size_t> count = CountWebBookmarks(store, files);
        out << store.browser << '\t' << StoreProfileText(store) << '\t'
            << (count ? std::to_string(*count) : "?") << '\t' << store.path << '\n';
    }
    return kExitDone;
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
        case CommandLine::Action::Restore:
            return Reported(RestoreBackup(line.linksPath, files), out, err);
        case CommandLine::Action::Folders:
            return ListFolders(line.listPath, out, err, files);
        case CommandLine::Action::Browsers:
            return ListBrowserStores(out, err, files);
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
    return Reported(outcome, out, err);
}

}  // namespace tamsel
