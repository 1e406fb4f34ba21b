#include "convert/conversion_run.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "convert/insert_before_tag.h"
#include "convert/link_parser.h"
#include "convert/menu_lock.h"
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
constexpr std::string_view kBusyMessage = "ERROR: The Links.xml is being changed by another run";
constexpr std::string_view kMemoryMessage = "ERROR: Not enough memory to convert the list";
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

// The item entries, nearly the whole output of a long list, are kept in pieces of about
// this size and written out one after the other: one string would be copied into fresh
// memory each time it doubled, and once more when spliced into the menu text.
constexpr std::size_t kItemPiece = 1 << 20;
constexpr std::size_t kItemRoom = 64 << 10;  // a piece with less room left is full

struct Blocks {
    std::string query;
    std::vector<std::string> items;

    // The piece that the next item entries go to.
    std::string& ItemsToFill() {
        if (items.empty() || items.back().capacity() - items.back().size() < kItemRoom) {
            items.emplace_back().reserve(kItemPiece);
        }
        return items.back();
    }

    bool HasItems() const {
        return std::any_of(items.begin(), items.end(),
                           [](const std::string& piece) { return !piece.empty(); });
    }
};

// Turns each TAB into one blank and trims blanks at both ends, in the line's own storage. A
// replacement of one character by one: the same as ReplaceText, without a second copy.
void CleanListLine(std::string& line) {
    std::replace(line.begin(), line.end(), '\t', ' ');
    const std::size_t last = line.find_last_not_of(' ');
    line.resize(last == std::string::npos ? 0 : last + 1);
    line.erase(0, line.find_first_not_of(' '));  // npos, for an empty line, erases nothing
}

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
        CleanListLine(raw);
        line.swap(raw);  // no copy: a line of any length costs its own storage only
        ParseLinkLine(line, record, blocks.query, blocks.ItemsToFill(), templates, imagesFolder,
                      hasIcon);
    });
    if (!read) {
        return false;
    }
    if (!line.empty()) {
        ParseLinkLine(line, record, blocks.query, blocks.ItemsToFill(), templates, imagesFolder,
                      hasIcon);
    }
    return true;
}

// Splices both blocks into the menu text: the query entries into `menu` itself, the item
// entries as pieces of the new menu, which comes back as the pieces to write in order.
// Nothing when a block that holds entries found no place; empty blocks need none.
std::optional<std::vector<std::string_view>> Splice(std::string& menu, const Blocks& blocks) {
    const bool queryPlaced = InsertBeforeTag("</Items>", menu, blocks.query, 2);
    const std::optional<std::size_t> itemsAt = InsertionPoint("</XMBML>", menu, 1);
    if (blocks.HasItems() && !(queryPlaced && itemsAt)) {
        return std::nullopt;
    }
    const std::string_view text = menu;
    const std::size_t cut = itemsAt.value_or(text.size());
    std::vector<std::string_view> pieces{text.substr(0, cut)};
    if (itemsAt) {
        pieces.insert(pieces.end(), blocks.items.begin(), blocks.items.end());
    }
    pieces.push_back(text.substr(cut));
    return pieces;
}

RunOutcome Finish(const std::string& linksPath, std::span<const std::string_view> menu,
                  FileSystem& files) {
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

// The run itself; RunConversion adds what happens when memory runs out.
RunOutcome Convert(const RunPaths& paths, FileSystem& files, std::chrono::milliseconds lockWait) {
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
    // From reading the menu to putting the new one in place, no other run may change it: it
    // would lose its links to this run's rename, or this run's to its own.
    const LockAttempt lock = LockMenuFile(files.LinkTarget(paths.linksPath), files, lockWait);
    if (lock.state == LockState::Busy) {
        return Stop(RunStatus::WriteError, MessageIcon::Exclamation, kBusyMessage);
    }
    if (lock.state == LockState::Failed) {
        return Stop(RunStatus::WriteError, MessageIcon::Exclamation, kWriteMessage);
    }
    std::optional<std::string> menu = files.ReadWhole(paths.linksPath);
    if (!menu) {
        return InputProblem(kMenuMessage, Box::Menu);
    }
    const std::optional<std::vector<std::string_view>> newMenu = Splice(*menu, blocks);
    if (!newMenu) {
        return Stop(RunStatus::InputError, MessageIcon::Exclamation, kNowhereMessage);
    }
    return Finish(paths.linksPath, *newMenu, files);
}

}  // namespace

RunOutcome RunConversion(const RunPaths& paths, FileSystem& files,
                         std::chrono::milliseconds lockWait) {
    // Only memory can run out on the way (std::bad_alloc, or std::length_error for a text
    // longer than a string may be); every file step answers with a result, not an exception.
    // The files are as they were: nothing is changed before the new menu is complete, and
    // the replacement removes its temporary files on the way out.
    try {
        return Convert(paths, files, lockWait);
    } catch (const std::exception&) {
        return Stop(RunStatus::WriteError, MessageIcon::Exclamation, kMemoryMessage);
    }
}

}  // namespace tamsel
