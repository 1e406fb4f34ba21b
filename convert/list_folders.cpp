#include "convert/list_folders.h"

#include <exception>
#include <optional>
#include <string_view>

#include "convert/folder_tracker.h"
#include "convert/link_parser.h"
#include "convert/link_reader.h"
#include "convert/list_lines.h"
#include "convert/run_outcome.h"
#include "convert/template_fill.h"

namespace tamsel {

namespace {

// Counts each link in the folders open when it is found, as a run's collector would.
class FolderCount final : public LinkSink {
  public:
    explicit FolderCount(FolderTracker& folders) : folders_(folders) {}
    void Emit(LinkRecord&, const PreparedTemplate&, const PreparedTemplate&) override {
        folders_.LinkFound();
    }

  private:
    FolderTracker& folders_;
};

// The folders, read as a run reads the list; the message of a problem goes to `problem`.
std::vector<ListFolder> Read(const std::string& listPath, FileSystem& files,
                             std::string_view& problem) {
    if (!files.FileExists(listPath)) {
        problem = kListMessage;
        return {};
    }
    FolderTracker folders;
    FolderCount count(folders);
    // The entries are never kept, so empty templates and no icons do.
    const PreparedTemplates templates{ItemTemplates{}};
    const std::string noImagesFolder;
    const IconProbe noIcons;
    LinkReader reader(templates, noImagesFolder, noIcons, count);
    reader.FollowFolders(&folders);
    if (const std::optional<std::string_view> failed = ReadListLines(
            listPath, files, [&reader](std::string_view line) { reader.Feed(line); })) {
        problem = *failed;
        return {};
    }
    reader.Finish();
    return folders.Folders();
}

}  // namespace

std::vector<ListFolder> ReadListFolders(const std::string& listPath, FileSystem& files,
                                        std::string* problem) {
    std::string_view found;
    std::vector<ListFolder> folders;
    try {
        folders = Read(listPath, files, found);
    } catch (const std::exception&) {  // out of memory: a run would say so too
        found = kMemoryMessage;
    }
    if (problem != nullptr) {
        *problem = found;
    }
    return folders;
}

}  // namespace tamsel
