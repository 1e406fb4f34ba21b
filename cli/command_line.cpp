#include "cli/command_line.h"

#include <utility>

#include "support/path.h"

namespace tamsel {

namespace {

constexpr std::string_view kAppFolderOption = "--app-folder";
constexpr std::string_view kAppFolderPrefix = "--app-folder=";
constexpr std::string_view kFolderOption = "--folder";
constexpr std::string_view kFolderPrefix = "--folder=";

CommandLine UsageError(std::string error) {
    CommandLine line;
    line.action = CommandLine::Action::UsageError;
    line.error = std::move(error);
    return line;
}

// The value of the option at `arguments[i]`: what follows `prefix` in the same argument, or
// the next argument (which `i` then steps over); empty when there is none.
std::string OptionValue(const std::vector<std::string>& arguments, std::size_t& i,
                        std::string_view option, std::string_view prefix) {
    const std::string& argument = arguments[i];
    if (argument != option) {
        return argument.substr(prefix.size());
    }
    return i + 1 < arguments.size() ? arguments[++i] : std::string();
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
    bool folders = false;
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
        } else if (argument == "--folders") {
            folders = true;
        } else if (argument == kAppFolderOption || argument.starts_with(kAppFolderPrefix)) {
            line.appFolder = OptionValue(arguments, i, kAppFolderOption, kAppFolderPrefix);
            if (line.appFolder.empty()) {
                return UsageError("--app-folder needs a folder");
            }
        } else if (argument == kFolderOption || argument.starts_with(kFolderPrefix)) {
            line.folder = OptionValue(arguments, i, kFolderOption, kFolderPrefix);
            if (line.folder.empty()) {
                return UsageError("--folder needs the path of a folder of the list");
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
    if (restore && folders) {
        return UsageError("--restore does not go with --folders");
    }
    if (!line.folder.empty() && (restore || folders)) {
        return UsageError(restore ? "--folder does not go with --restore"
                                  : "--folder does not go with --folders");
    }
    if (folders) {
        if (line.dryRun) {
            return UsageError("--dry-run does not go with --folders");
        }
        if (paths.size() != 1) {
            return UsageError("--folders needs one link list");
        }
        line.action = CommandLine::Action::Folders;
        line.listPath = paths[0];
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
    return "Usage: tamsel-convert [--dry-run] [--app-folder DIR] [--folder PATH] LIST MENU\n"
           "       tamsel-convert --restore MENU\n"
           "       tamsel-convert --folders LIST\n"
           "       tamsel-convert --browsers\n"
           "\n"
           "Turns the links in LIST (a hand-written link list, a browser's bookmarks\n"
           "export, or a browser's own Bookmarks or places.sqlite file) into menu entries\n"
           "and splices them into the menu file MENU (a Links.xml). The previous menu file\n"
           "is kept as MENU.bak. Each link gets an id not used yet; a link whose entries\n"
           "are in MENU already is not added again.\n"
           "\n"
           "Options:\n"
           "  --dry-run         write nothing; print one line per link found:\n"
           "                    add or skip, TAB, id, TAB, title, TAB, address;\n"
           "                    then the message the run would show\n"
           "  --app-folder DIR  take the item templates from DIR\n"
           "                    (default: the folder that holds this program)\n"
           "  --folder PATH     convert only the links in one folder of LIST and its\n"
           "                    subfolders: the folders' names from the top joined by /,\n"
           "                    letter case ignored; a / or \\ in a name is written \\/ or\n"
           "                    \\\\ (the paths --folders prints)\n"
           "  --restore         put MENU.bak back as MENU and keep the menu it replaces\n"
           "                    as MENU.bak (another --restore undoes it)\n"
           "  --folders         list the folders of LIST in list order, one a line:\n"
           "                    path, TAB, number of links in it and below it\n"
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
