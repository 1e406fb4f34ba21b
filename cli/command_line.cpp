#include "cli/command_line.h"

#include <utility>

#include "support/path.h"

namespace tamsel {

namespace {

constexpr std::string_view kAppFolderOption = "--app-folder";
constexpr std::string_view kAppFolderPrefix = "--app-folder=";

CommandLine UsageError(std::string error) {
    CommandLine line;
    line.action = CommandLine::Action::UsageError;
    line.error = std::move(error);
    return line;
}

bool AsksForHelp(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--") {
            return false;
        }
        if (argument == "--help" || argument == "-h") {
            return true;
        }
    }
    return false;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    if (AsksForHelp(arguments)) {
        CommandLine help;
        help.action = CommandLine::Action::Help;
        return help;
    }
    CommandLine line;
    std::vector<std::string> paths;
    bool optionsEnded = false;
    bool restore = false;
    bool browsers = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            paths.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--dry-run") {
            line.dryRun = true;
        } else if (argument == "--restore") {
            restore = true;
        } else if (argument == "--browsers") {
            browsers = true;
        } else if (argument == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        } else if (argument == kAppFolderOption || argument.starts_with(kAppFolderPrefix)) {
            if (argument != kAppFolderOption) {
                line.appFolder = argument.substr(kAppFolderPrefix.size());
            } else if (i + 1 < arguments.size()) {
                line.appFolder = arguments[++i];
            } else {
                line.appFolder.clear();
            }
            if (line.appFolder.empty()) {
                return UsageError("--app-folder needs a folder");
            }
        } else {
            return UsageError("unknown option " + argument);
        }
    }
    if (browsers) {
        if (arguments.size() != 1) {
            return UsageError("--browsers goes alone");
        }
        line.action = CommandLine::Action::Browsers;
        return line;
    }
    if (restore) {
        // A preview promises to write nothing; a restore that went ahead would break that.
        if (line.dryRun) {
            return UsageError("--dry-run does not go with --restore");
        }
        if (paths.size() != 1) {
            return UsageError("--restore needs one menu file");
        }
        line.action = CommandLine::Action::Restore;
        line.linksPath = paths[0];
        return line;
    }
    if (paths.size() != 2) {
        return UsageError(paths.size() < 2 ? "a link list and a menu file are needed"
                                           : "too many arguments");
    }
    line.action = CommandLine::Action::Run;
    line.listPath = paths[0];
    line.linksPath = paths[1];
    return line;
}

std::string UsageText() {
    return "Usage: tamsel-convert [--dry-run] [--app-folder DIR] LIST MENU\n"
           "       tamsel-convert --restore MENU\n"
           "       tamsel-convert --browsers\n"
           "\n"
           "Turns the links in LIST (a hand-written link list or a browser's bookmarks\n"
           "export) into menu entries and splices them into the menu file MENU (a\n"
           "Links.xml). The previous menu file is kept as MENU.bak. Each link gets an id\n"
           "not used yet; a link whose entries are in MENU already is not added again.\n"
           "\n"
           "Options:\n"
           "  --dry-run         write nothing; print one line per link found:\n"
           "                    add or skip, TAB, id, TAB, title, TAB, address;\n"
           "                    then the message the run would show\n"
           "  --app-folder DIR  take the item templates from DIR\n"
           "                    (default: the folder that holds this program)\n"
           "  --restore         put MENU.bak back as MENU and keep the menu it replaces\n"
           "                    as MENU.bak (another --restore undoes it)\n"
           "  --browsers        list the bookmark stores of this user's browsers, one a\n"
           "                    line: browser, TAB, profile, TAB, number of web\n"
           "                    bookmarks (? when unreadable), TAB, path\n"
           "  -h, --help        show this help and exit\n"
           "  --version         show the version and exit\n"
           "\n"
           "Exit status:\n"
           "  0   done, or every link is in the menu already\n"
           "  1   an input is missing or unusable, or there is no backup to restore\n"
           "  2   the backup or the new menu file could not be written\n"
           "  64  the arguments were not understood\n";
}

std::string WithTrailingSeparator(std::string folder) {
    return folder.empty() ? folder : WithNativeSeparatorAtEnd(std::move(folder));
}

int ExitCodeFor(RunStatus status) {
    switch (status) {
        case RunStatus::Done:
        case RunStatus::NothingToAdd:
            return kExitDone;
        case RunStatus::InputError:
            return kExitInputError;
        case RunStatus::WriteError:
        case RunStatus::Cancelled:  // the command never stops a run itself
            return kExitWriteError;
    }
    return kExitWriteError;
}

}  // namespace tamsel
