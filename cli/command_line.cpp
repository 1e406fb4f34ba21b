#include "cli/command_line.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "support/path.h"

namespace tamsel {

namespace {

CommandLine UsageError(std::string error) {
    CommandLine line;
    line.error = std::move(error);  // the action a CommandLine starts with
    return line;
}

// An option that takes a value, as "--name VALUE" or "--name=VALUE".
struct ValueOption {
    std::string_view name;
    std::string CommandLine::*value;
    std::string_view missing;  // the error when the value is empty or not there
};

constexpr std::array<ValueOption, 2> kValueOptions{{
    {"--app-folder", &CommandLine::appFolder, "--app-folder needs a folder"},
    {"--folder", &CommandLine::folder, "--folder needs the path of a folder of the list"},
}};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    if (std::ranges::any_of(arguments.begin(), std::ranges::find(arguments, "--"),
                            [](const std::string& a) { return a == "--help" || a == "-h"; })) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    std::vector<std::string> paths;
    bool optionsEnded = false;
    bool restore = false;
    bool browsers = false;
    bool folders = false;
    using Flag = std::pair<std::string_view, bool*>;
    const Flag flags[] = {
        {"--", &optionsEnded},  // what follows are paths, even "-x"
        {"--dry-run", &line.dryRun}, {"--restore", &restore},
        {"--browsers", &browsers},   {"--folders", &folders},
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto flag = std::ranges::find(flags, argument, &Flag::first);
        const auto option = std::ranges::find_if(kValueOptions, [&](const ValueOption& o) {
            return argument == o.name ||
                   (argument.starts_with(o.name) && argument[o.name.size()] == '=');
        });
        if (optionsEnded || !argument.starts_with('-') || argument == "-") {
            paths.push_back(argument);
        } else if (argument == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        } else if (flag != std::ranges::end(flags)) {
            *flag->second = true;
        } else if (option == kValueOptions.end()) {
            return UsageError("unknown option " + argument);
        } else {
            std::string& value = line.*option->value;
            if (argument != option->name) {
                value = argument.substr(option->name.size() + 1);
            } else {
                value = i + 1 < arguments.size() ? arguments[++i] : std::string();
            }
            if (value.empty()) {
                return UsageError(std::string(option->missing));
            }
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
    if (restore || folders) {
        const std::string option = restore ? "--restore" : "--folders";
        if (!line.folder.empty()) {
            return UsageError("--folder does not go with " + option);
        }
        // A preview promises to write nothing, and a restore would write.
        if (line.dryRun) {
            return UsageError("--dry-run does not go with " + option);
        }
        if (paths.size() != 1) {
            return UsageError(option + (restore ? " needs one menu file" : " needs one link list"));
        }
        line.action = restore ? CommandLine::Action::Restore : CommandLine::Action::Folders;
        (restore ? line.linksPath : line.listPath) = paths[0];
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

// A switch, so that a status added later cannot slip through to an exit status unseen.
int ExitCodeFor(RunStatus status) {
    switch (status) {
        case RunStatus::Done:
        case RunStatus::NothingToAdd:
            return kExitDone;
        case RunStatus::InputError:
            return kExitInputError;
        case RunStatus::WriteError:
        case RunStatus::Cancelled:  // the command never stops a run itself: a failed one
            break;
    }
    return kExitWriteError;
}

}  // namespace tamsel
