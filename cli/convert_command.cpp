// tamsel-convert: runs exactly the conversion of the window's Start button and reports its
// outcome as text and an exit status (command_line.h); opens nothing. Help, the version, the
// listings and success go to standard output; the rest, and a long run's progress, to error.

#include <iostream>

#include "cli/command_line.h"
#include "cli/terminal_progress.h"
#include "convert/backup_restore.h"
#include "convert/browser_stores.h"
#include "convert/conversion_run.h"
#include "convert/list_folders.h"
#include "support/known_folders.h"

namespace tamsel {

namespace {

// --dry-run: each link's decision as it is made, separated by TABs (none of the values
// holds one: a list's TABs become blanks).
RunOutcome Preview(const RunPaths& paths, FileSystem& files) {
    return PreviewConversion(
        paths,
        [](const LinkDecision& link) {
            std::cout << (link.added ? "add" : "skip") << '\t' << link.id << '\t' << link.title
                      << '\t' << link.url << '\n';
        },
        files);
}

int Reported(const RunOutcome& outcome) {
    const int code = ExitCodeFor(outcome.status);
    (code == kExitDone ? std::cout : std::cerr) << outcome.message << '\n';
    return code;
}

int ListFolders(const std::string& listPath, FileSystem& files) {
    std::string problem;
    const std::vector<ListFolder> folders = ReadListFolders(listPath, files, &problem);
    if (!problem.empty()) {
        std::cerr << problem << '\n';
        return kExitInputError;
    }
    if (folders.empty()) {
        std::cerr << "The list has no folders.\n";
    }
    for (const ListFolder& folder : folders) {
        std::cout << folder.path << '\t' << folder.links << '\n';
    }
    return kExitDone;
}

int ListBrowserStores(FileSystem& files) {
    const std::vector<BrowserStore> stores = FindBrowserStores(CurrentUserFolders(), files);
    if (stores.empty()) {
        std::cerr << "No bookmarks of a browser were found for this user.\n";
    }
    for (const BrowserStore& store : stores) {
        const std::optional<std::size_t> count = CountWebBookmarks(store, files);
        std::cout << store.browser << '\t' << StoreProfileText(store) << '\t'
                  << (count ? std::to_string(*count) : "?") << '\t' << store.path << '\n';
    }
    return kExitDone;
}

}  // namespace

}  // namespace tamsel

int main(int argc, char** argv) {
    using namespace tamsel;
    const CommandLine line = ParseCommandLine(CommandArguments(argc, argv));
    FileSystem& files = RealFileSystem();
    switch (line.action) {
        case CommandLine::Action::Help:
            std::cout << UsageText();
            return kExitDone;
        case CommandLine::Action::Version:
            std::cout << "tamsel-convert " << TAMSEL_VERSION << '\n';
            return kExitDone;
        case CommandLine::Action::UsageError:
            std::cerr << "tamsel-convert: " << line.error << "\n\n" << UsageText();
            return kExitUsage;
        case CommandLine::Action::Restore:
            return Reported(RestoreBackup(line.linksPath, files));
        case CommandLine::Action::Folders:
            return ListFolders(line.listPath, files);
        case CommandLine::Action::Browsers:
            return ListBrowserStores(files);
        case CommandLine::Action::Run:
            break;
    }
    const std::string appFolder = line.appFolder.empty() ? ProgramFolder() : line.appFolder;
    const RunPaths paths{line.listPath, line.linksPath, WithTrailingSeparator(appFolder),
                         line.folder};
    TerminalProgress shown(std::cerr, StandardErrorIsTerminal() && !line.dryRun);
    const RunOutcome outcome =
        line.dryRun ? Preview(paths, files) : RunConversion(paths, files, kMenuLockWait, &shown);
    shown.Clear();
    return Reported(outcome);
}
