#include "convert/conversion_run.h"

#include <array>
#include <optional>
#include <string_view>

#include "convert/insert_before_tag.h"
#include "convert/link_parser.h"
#include "convert/replace_menu_file.h"
#include "convert/template_fill.h"
#include "support/folder_snapshot.h"
#include "support/path.h"
#include "support/text.h"

namespace tamsel {

namespace {

constexpr std::string_view kListMessage = "Please enter a TXT file or a Firefox Bookmarks.html.";
constexpr std::string_view kMenuMessage = "Please enter the Links.xml.";
constexpr std::string_view kNowhereMessage =
    "ERROR: Could not find where to insert the links in the Links.xml";
constexpr std::string_view kBackupMessage = "ERROR: Could not create a backup of the Links.xml";
constexpr std::string_view kWriteMessage = "ERROR: Could not write the Links.xml";
constexpr std::string_view kFallbackIcon = "network.png";

constexpr std::array<std::string_view, 3> kTemplateNames = {
    "item_template_query.txt",
    "item_template_image.txt",
    "item_template_noimage.txt",
};

enum class Box { List = 0, Menu = 1, None = -1 };

RunOutcome Stop(RunStatus status, MessageIcon icon, std::string_view message,
                Box focus = Box::None) {
    RunOutcome outcome;
    outcome.status = status;
    outcome.message = message;
    outcome.icon = icon;
    outcome.focusBox = static_cast<int>(focus);
    return outcome;
}

RunOutcome InputProblem(std::string_view message, Box focus = Box::None) {
    return Stop(RunStatus::InputError, MessageIcon::Information, message, focus);
}

RunOutcome Missing(std::string_view what) {
    return InputProblem("Missing " + std::string(what));
}

// The folder named IMAGES beside the menu file's folder, ending in the separator that the
// menu file's folder ends with; empty when the menu path has no folder. A "?" in the path
// is part of a folder name here, not the start of a query.
std::string ImagesFolderFor(const std::string& linksPath) {
    const std::string menuFolder = FolderOfFile(linksPath);
    if (menuFolder.empty()) {
        return {};
    }
    const std::string_view withoutSeparator =
        std::string_view(menuFolder).substr(0, menuFolder.size() - 1);
    return FolderOfFile(withoutSeparator) + "IMAGES" + menuFolder.back();
}

struct Blocks {
    std::string query;
    std::string items;
};

// Feeds every cleaned line to the parser, then the last line once more to flush a link
// that was still pending. False when the list could not be read to its end.
bool ParseList(const std::string& listPath, const PreparedTemplates& templates,
               const std::string& imagesFolder, FileSystem& files, Blocks& blocks) {
    // One listing of the icon folder answers for the many links without an icon of their
    // own; only the names the folder holds are probed.
    const FolderSnapshot icons(files, imagesFolder);
    const IconProbe hasIcon = [&icons](const std::string& path) { return icons.FileExists(path); };
    LinkRecord record;
    std::string line;
    const bool read = files.ReadLines(listPath, [&](std::string& raw) {
        if (raw.find('\t') != std::string::npos) {  // most lines have none to replace
            raw = ReplaceText(raw, "\t", " ");
        }
        line.assign(TrimBlanks(raw));  // into the storage of the line before
        ParseLinkLine(line, record, blocks.query, blocks.items, templates, imagesFolder, hasIcon);
    });
    if (!read) {
        return false;
    }
    if (!line.empty()) {
        ParseLinkLine(line, record, blocks.query, blocks.items, templates, imagesFolder, hasIcon);
    }
    return true;
}

// Splices both blocks into the menu text. False when a block that holds entries found no
// place; empty blocks need none.
bool Splice(std::string& menu, const Blocks& blocks) {
    const bool queryPlaced = InsertBeforeTag("</Items>", menu, blocks.query, 2);
    const bool itemsPlaced = InsertBeforeTag("</XMBML>", menu, blocks.items, 1);
    return blocks.items.empty() || (queryPlaced && itemsPlaced);
}

RunOutcome Finish(const std::string& linksPath, std::string_view menu, FileSystem& files) {
    switch (ReplaceMenuFile(linksPath, menu, files)) {
        case ReplaceResult::BackupFailed:
            return Stop(RunStatus::WriteError, MessageIcon::Exclamation, kBackupMessage);
        case ReplaceResult::WriteFailed:
            return Stop(RunStatus::WriteError, MessageIcon::Exclamation, kWriteMessage);
        case ReplaceResult::Replaced:
            break;
    }
    RunOutcome done = Stop(RunStatus::Done, MessageIcon::Information, "Done");
    done.folderToOpen = FolderOfFile(linksPath);
    return done;
}

}  // namespace

RunOutcome RunConversion(const RunPaths& paths, FileSystem& files) {
    if (!files.FileExists(paths.listPath)) {
        return InputProblem(kListMessage, Box::List);
    }
    if (!files.FileExists(paths.linksPath)) {
        return InputProblem(kMenuMessage, Box::Menu);
    }
    for (std::string_view name : kTemplateNames) {
        if (!files.FileExists(paths.appFolder + std::string(name))) {
            return Missing(name);
        }
    }
    const std::string imagesFolder = ImagesFolderFor(paths.linksPath);
    const std::string fallbackIcon = imagesFolder + std::string(kFallbackIcon);
    if (!files.FileExists(fallbackIcon)) {
        return Missing(fallbackIcon);
    }

    // Everything is read and built before any file is touched, so a read failure stops
    // the run with every file as it was.
    std::array<std::string, 3> texts;
    for (std::size_t i = 0; i < kTemplateNames.size(); ++i) {
        std::optional<std::string> text =
            files.ReadWhole(paths.appFolder + std::string(kTemplateNames[i]));
        if (!text) {
            return Missing(kTemplateNames[i]);
        }
        texts[i] = std::move(*text);
    }
    const ItemTemplates templates{std::move(texts[0]), std::move(texts[1]), std::move(texts[2])};

    Blocks blocks;
    if (!ParseList(paths.listPath, PreparedTemplates(templates), imagesFolder, files, blocks)) {
        return InputProblem(kListMessage, Box::List);
    }
    std::optional<std::string> menu = files.ReadWhole(paths.linksPath);
    if (!menu) {
        return InputProblem(kMenuMessage, Box::Menu);
    }
    if (!Splice(*menu, blocks)) {
        return Stop(RunStatus::InputError, MessageIcon::Exclamation, kNowhereMessage);
    }
    return Finish(paths.linksPath, *menu, files);
}

}  // namespace tamsel
