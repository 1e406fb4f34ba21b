#include "convert/conversion_run.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "convert/folder_tracker.h"
#include "convert/insert_before_tag.h"
#include "convert/link_collector.h"
#include "convert/list_encoding.h"
#include "convert/list_lines.h"
#include "convert/menu_index.h"
#include "convert/replace_menu_file.h"
#include "support/folder_snapshot.h"
#include "support/path.h"
#include "support/text_decoder.h"

namespace tamsel {

namespace {

constexpr std::string_view kNoLinksMessage = "No links were found in the list.";
constexpr std::string_view kNowhereMessage =
    "ERROR: Could not find where to insert the links in the Links.xml";
constexpr std::string_view kAllPresentMessage = "All links of the list are in the menu already.";
constexpr std::string_view kSomePresentMessage = "\n\nLinks already in the menu, not added again: ";
constexpr std::string_view kCancelledMessage = "Cancelled";
constexpr std::string_view kUnconfirmedMessage =
    "ERROR: The Links.xml was replaced, but the disk did not confirm the change";
// Bytes of the list between two reports to the observer: often enough for a progress bar,
// rare enough that a line costs an addition and a comparison.
constexpr std::uint64_t kProgressStep = 256 * 1024;
// Asked to stop also after this many links or this long, so that a list whose links are slow
// to decide (icons on a slow disk, many links of one title) stops soon after a cancel. The
// clock is read after every line that found a link, and after every kLinesPerClock others.
constexpr std::size_t kLinksPerAsk = 1024;
constexpr std::chrono::milliseconds kAskEvery{50};
constexpr std::size_t kLinesPerClock = 64;

constexpr std::array<std::pair<std::string_view, std::string ItemTemplates::*>, 3> kTemplates{{
    {"item_template_query.txt", &ItemTemplates::Query},
    {"item_template_image.txt", &ItemTemplates::Image},
    {"item_template_noimage.txt", &ItemTemplates::NoImage},
}};

RunOutcome InputProblem(std::string_view message, std::optional<RunInput> focus = std::nullopt) {
    return MakeOutcome(RunStatus::InputError, MessageIcon::Information, message, focus);
}

RunOutcome Missing(std::string_view what) {
    return InputProblem("Missing " + std::string(what));
}

// The folder IMAGES beside the menu file's folder, ending in the separator that folder ends
// with; empty when the menu path has no folder. A "?" in the path is no query here.
std::string ImagesFolderFor(const std::string& linksPath) {
    const std::string menuFolder = FolderOfFile(linksPath);
    if (menuFolder.empty()) {
        return {};
    }
    const std::string_view withoutSeparator =
        std::string_view(menuFolder).substr(0, menuFolder.size() - 1);
    return FolderOfFile(withoutSeparator) + "IMAGES" + menuFolder.back();
}

// Thrown where the observer asked the run to stop; caught where the run began, by which time
// the lock and every file are released and nothing was changed.
struct RunCancelled {};

void Checkpoint(RunObserver& observer) {
    if (observer.CancelRequested()) {
        throw RunCancelled{};
    }
}

// Tells the observer of the list's bytes every kProgressStep, asking then whether to stop, and
// in between as kLinksPerAsk and kAskEvery say. A decoded UTF-16 list counts its UTF-8 bytes,
// so the count is kept below the file's size.
class ListProgress {
  public:
    using Clock = std::chrono::steady_clock;

    ListProgress(RunObserver& observer, std::uint64_t total) : observer_(observer), total_(total) {}

    // After each line: `bytes` of the list read with it, `links` found so far.
    void Advance(std::uint64_t bytes, std::size_t links) {
        read_ += bytes;
        if (read_ - told_ >= kProgressStep) {
            told_ = read_;
            Ask(links);
            observer_.ListRead(std::min(read_, total_), total_);
        } else if (links - linksAsked_ >= kLinksPerAsk) {
            Ask(links);
        } else if ((links != linksSeen_ || ++lines_ % kLinesPerClock == 0) &&
                   Clock::now() >= askBy_) {
            Ask(links);
        }
        linksSeen_ = links;
    }
    void Finish() { observer_.ListRead(total_, total_); }

  private:
    void Ask(std::size_t links) {
        Checkpoint(observer_);
        linksAsked_ = links;
        askBy_ = Clock::now() + kAskEvery;
    }

    RunObserver& observer_;
    std::uint64_t total_;
    std::uint64_t read_ = 0;
    std::uint64_t told_ = 0;
    std::size_t linksAsked_ = 0;
    std::size_t linksSeen_ = 0;
    std::size_t lines_ = 0;
    Clock::time_point askBy_ = Clock::now() + kAskEvery;
};

// Reads the whole list into `links` as `reading` says. The problem's message when the list
// could not be read to its end; ListNotUtf8 passes through.
std::optional<std::string_view> ReadList(const std::string& listPath, ListReading reading,
                                         FileSystem& files, LinkCollector& links,
                                         RunObserver& observer) {
    ListProgress progress(observer, files.ProbeFileSize(listPath));
    ListText text(reading);
    const std::optional<std::string_view> problem =
        ReadListLines(listPath, files, [&](std::string_view line) {
            links.Feed(text.Line(line));
            progress.Advance(line.size() + 1, links.FoundCount());  // the break counts one byte
        });
    if (!problem) {
        links.Finish();
        progress.Finish();
    }
    return problem;
}

// Why a run narrowed to `folder` stops after reading the list; nothing for the whole list.
std::optional<RunOutcome> FolderProblem(const std::string& folder, const FolderTracker& folders,
                                        const LinkCollector& links) {
    if (folder.empty()) {
        return std::nullopt;
    }
    const std::string named = "\"" + folder + "\"";
    if (folders.Folders().empty()) {
        return InputProblem(
            "The list has no folders, so the folder " + named + " cannot be chosen.",
            RunInput::List);
    }
    if (!folders.FoundChosen()) {
        return InputProblem("The folder " + named + " was not found in the list.", RunInput::List);
    }
    if (links.FoundCount() == 0) {
        return InputProblem("No links were found in the folder " + named + ".", RunInput::List);
    }
    return std::nullopt;
}

// A preview's decision, held back while the list may yet have to be read again.
struct HeldDecision {
    bool added;
    std::string id, title, url;
};

// Makes the collector for one reading of the list.
using FreshLinks = std::function<LinkCollector&(DecisionProbe onDecision)>;

// Reads the list into the links `freshLinks` makes: as UTF-8 into a UTF-8 menu, and a list that
// turns out not to be is read again, as repaired UTF-8 when its start declares UTF-8 and as
// windows-1252 otherwise. A preview hears only the reading that counts.
std::optional<std::string_view> ParseList(const std::string& listPath, bool menuIsUtf8,
                                          FileSystem& files, const FreshLinks& freshLinks,
                                          const DecisionProbe& onDecision, RunObserver& observer) {
    if (!menuIsUtf8) {
        return ReadList(listPath, ListReading::AsIs, files, freshLinks(onDecision), observer);
    }
    try {
        std::vector<HeldDecision> held;
        const DecisionProbe hold = [&held](const LinkDecision& link) {
            held.push_back(
                {link.added, std::string(link.id), std::string(link.title), std::string(link.url)});
        };
        const std::optional<std::string_view> problem = ReadList(
            listPath, ListReading::Utf8, files, freshLinks(onDecision ? hold : nullptr), observer);
        for (const HeldDecision& link : held) {
            onDecision({link.added, link.id, link.title, link.url});
        }
        return problem;
    } catch (const ListNotUtf8&) {
    }
    // The byte-order mark is no part of the text that may declare the encoding.
    std::optional<std::string> head = files.ReadHead(listPath, kCharsetWindow + kUtf8Mark.size());
    if (!head) {
        return kListMessage;
    }
    const ListReading reading = DeclaresUtf8Charset(WithoutUtf8Mark(*head))
                                    ? ListReading::RepairedUtf8
                                    : ListReading::Windows1252;
    return ReadList(listPath, reading, files, freshLinks(onDecision), observer);
}

// `pieces` with `block` inserted at index `at` of their text, without empty pieces (a search
// through them would join them).
std::vector<std::string_view> InsertedAt(std::span<const std::string_view> pieces, std::size_t at,
                                         std::span<const std::string> block) {
    std::vector<std::string_view> result;
    const auto add = [&result](std::string_view piece) {
        if (!piece.empty()) {
            result.push_back(piece);
        }
    };
    bool inserted = false;
    for (std::string_view piece : pieces) {
        if (!inserted && at <= piece.size()) {
            add(piece.substr(0, at));
            std::for_each(block.begin(), block.end(), add);
            piece.remove_prefix(at);
            inserted = true;
        } else if (!inserted) {
            at -= piece.size();
        }
        add(piece);
    }
    return result;
}

// Splices both blocks in as InsertBeforeTag would in turn: the query entries at the line of the
// menu's second "</Items>", then the item entries at the line of the first "</XMBML>". The new
// menu as pieces viewing `menu` and the blocks; nothing when either found no place.
std::optional<std::vector<std::string_view>> Splice(std::string_view menu,
                                                    const LinkCollector& links) {
    const std::optional<std::size_t> queriesAt = InsertionPoint("</Items>", menu, 2);
    if (!queriesAt) {
        return std::nullopt;
    }
    const std::vector<std::string_view> text =
        InsertedAt(std::span(&menu, 1), *queriesAt, links.QueryPieces());
    const std::optional<std::size_t> itemsAt = InsertionPoint("</XMBML>", text);
    return itemsAt ? std::optional(InsertedAt(text, *itemsAt, links.ItemPieces())) : std::nullopt;
}

// Takes the menu's lock before the menu is checked: a run that checked first could find the
// menu missing while another puts its new one in place. Nothing when held, else why the run
// stops. A preview, writing nothing, takes no lock.
std::optional<RunOutcome> LockMenu(const RunPaths& paths, FileSystem& files, MenuSite& site,
                                   std::chrono::milliseconds lockWait, bool preview,
                                   RunObserver& observer, LockAttempt& lock) {
    // An empty box names no menu, and its lock would be a ".lock" in the working folder.
    if (paths.linksPath.empty()) {
        return InputProblem(kMenuMessage, RunInput::Menu);
    }
    // Found once: every later step goes through that folder; the file replaced is the one read.
    site = LocateMenu(paths.linksPath, files);
    // No lock file beside what is no menu (missing or empty, a folder, a FIFO, a device). One
    // that stands already is taken to look again: its holder may be replacing the menu.
    if (!files.FileExists(paths.linksPath) &&
        !(site.held && site.held->HasEntry(MenuLockPath(site.name)))) {
        return InputProblem(kMenuMessage, RunInput::Menu);
    }
    if (preview) {
        return std::nullopt;
    }
    lock = LockMenuFile(site, lockWait, &observer);
    Checkpoint(observer);
    // No lock file could be made: the menu (or its folder) may have gone since the look.
    if (lock.state == LockState::Failed && !files.FileExists(paths.linksPath)) {
        return InputProblem(kMenuMessage, RunInput::Menu);
    }
    return LockProblem(lock, site);
}

// The checks of the menu, the templates and the fallback icon, in that order.
std::optional<RunOutcome> CheckInputs(const RunPaths& paths, const std::string& fallbackIcon,
                                      FileSystem& files) {
    if (!files.FileExists(paths.linksPath)) {
        return InputProblem(kMenuMessage, RunInput::Menu);
    }
    for (const auto& file : kTemplates) {
        if (!files.FileExists(paths.appFolder + std::string(file.first))) {
            return Missing(file.first);
        }
    }
    if (!files.FileExists(fallbackIcon)) {
        return Missing(fallbackIcon);
    }
    return std::nullopt;
}

RunOutcome Done(const LinkCollector& links) {
    RunOutcome done = MakeOutcome(RunStatus::Done, MessageIcon::Information, "Done");
    if (links.SkippedCount() > 0) {
        done.message += std::string(kSomePresentMessage) + std::to_string(links.SkippedCount()) +
                        " of " + std::to_string(links.FoundCount()) + ".";
    }
    return done;
}

// With `preview` set, tells every link's decision and stops before anything is written.
RunOutcome Convert(const RunPaths& paths, FileSystem& files, std::chrono::milliseconds lockWait,
                   const DecisionProbe* preview, RunObserver& observer) {
    Checkpoint(observer);
    if (!files.FileExists(paths.listPath)) {
        return InputProblem(kListMessage, RunInput::List);
    }
    // From checking the menu to putting the new one in place no other run may change it: it
    // would lose its links to this run's rename, or this run's to its own.
    MenuSite site;
    LockAttempt lock;
    if (std::optional<RunOutcome> stop =
            LockMenu(paths, files, site, lockWait, preview != nullptr, observer, lock)) {
        return *stop;
    }
    const std::string imagesFolder = ImagesFolderFor(paths.linksPath);
    const std::string fallbackIcon = imagesFolder + std::string(kFallbackIcon);
    if (std::optional<RunOutcome> stop = CheckInputs(paths, fallbackIcon, files)) {
        return *stop;
    }

    // Everything is read and built before any file is touched: a failed read changes nothing.
    ItemTemplates templates;
    for (const auto& [name, text] : kTemplates) {
        std::optional<std::string> read = files.ReadWhole(paths.appFolder + std::string(name));
        if (!read) {
            return Missing(name);
        }
        templates.*text = std::move(*read);
    }
    const std::optional<std::string> menu =
        site.held ? site.held->ReadSource(site.name) : std::nullopt;
    if (!menu) {
        return InputProblem(kMenuMessage, RunInput::Menu);
    }
    // One listing of the icon folder answers for the many links without an icon of their own.
    FolderSnapshot icons(files, imagesFolder);
    const MenuIndex menuIndex(*menu);
    Checkpoint(observer);
    std::optional<LinkCollector> collected;
    std::optional<FolderTracker> folders;
    const FreshLinks freshLinks = [&](DecisionProbe onDecision) -> LinkCollector& {
        LinkCollector& links = collected.emplace(
            templates, imagesFolder,
            [&icons](const std::string& path) { return icons.FileExists(path); }, &menuIndex,
            std::move(onDecision));
        folders.emplace(paths.folder);
        if (!paths.folder.empty()) {
            links.FollowFolders(*folders);
        }
        return links;
    };
    if (const std::optional<std::string_view> problem =
            ParseList(paths.listPath, MenuIsUtf8(*menu), files, freshLinks,
                      preview != nullptr ? *preview : DecisionProbe{}, observer)) {
        return InputProblem(*problem, RunInput::List);
    }
    if (std::optional<RunOutcome> stop = FolderProblem(paths.folder, *folders, *collected)) {
        return *stop;
    }
    const LinkCollector& links = *collected;
    // A list without a link (a wrong file, an empty export) would replace the backup, and "Done"
    // would hide that nothing was read.
    if (links.FoundCount() == 0) {
        return InputProblem(kNoLinksMessage, RunInput::List);
    }
    // Nothing to add: the menu and its backup stay as they are.
    if (links.LinkCount() == 0) {
        return MakeOutcome(RunStatus::NothingToAdd, MessageIcon::Information, kAllPresentMessage);
    }
    const std::optional<std::vector<std::string_view>> newMenu = Splice(*menu, links);
    if (!newMenu) {
        return MakeOutcome(RunStatus::InputError, MessageIcon::Exclamation, kNowhereMessage);
    }
    if (preview != nullptr) {
        return Done(links);
    }
    // The last moment to stop: from here on the menu is being replaced.
    Checkpoint(observer);
    if (std::optional<RunOutcome> problem =
            ReplaceProblem(ReplaceMenuFile(site, *newMenu), kUnconfirmedMessage)) {
        return *problem;
    }
    RunOutcome done = Done(links);
    done.folderToOpen = FolderOfFile(paths.linksPath);
    return done;
}

// Only memory can run out on the way (std::bad_alloc, or std::length_error for a text longer
// than a string may be); every file step answers with a result. The files are as they were:
// nothing changes before the new menu is complete, and the replacement removes its temporary
// files on the way out.
RunOutcome ConvertInMemory(const RunPaths& paths, FileSystem& files,
                           std::chrono::milliseconds lockWait, const DecisionProbe* preview,
                           RunObserver* observer) {
    RunObserver quiet;
    try {
        return Convert(paths, files, lockWait, preview, observer != nullptr ? *observer : quiet);
    } catch (const RunCancelled&) {
        return MakeOutcome(RunStatus::Cancelled, MessageIcon::Information, kCancelledMessage);
    } catch (const std::exception&) {
        return WriteProblem(kMemoryMessage);
    }
}

}  // namespace

RunOutcome RunConversion(const RunPaths& paths, FileSystem& files,
                         std::chrono::milliseconds lockWait, RunObserver* observer) {
    return ConvertInMemory(paths, files, lockWait, nullptr, observer);
}

RunOutcome PreviewConversion(const RunPaths& paths, const DecisionProbe& onDecision,
                             FileSystem& files) {
    return ConvertInMemory(paths, files, std::chrono::milliseconds(0), &onDecision, nullptr);
}

}  // namespace tamsel
