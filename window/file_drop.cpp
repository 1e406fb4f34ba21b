#include "window/file_drop.h"

#include "support/path.h"
#include "support/text.h"

namespace tamsel {

bool NamesMenuFile(std::string_view path) {
    constexpr std::string_view kMenuFile = "Links.xml";
    const std::string_view name = path.substr(NativeFolderOf(path).size());
    return name.size() == kMenuFile.size() && StartsWithIgnoringCase(name, kMenuFile);
}

DropDecision DecideDrop(std::span<const DroppedItem> items, std::optional<RunInput> under) {
    if (items.size() > 1) {
        return {{}, {}, DropRefusal::SeveralFiles};
    }
    if (items.empty() || items.front().path.empty()) {
        return {{}, {}, DropRefusal::NotAFile};
    }
    const DroppedItem& item = items.front();
    if (item.folder) {
        return {{}, {}, DropRefusal::Folder};
    }
    const RunInput box = under.value_or(NamesMenuFile(item.path) ? RunInput::Menu : RunInput::List);
    return {box, item.path, DropRefusal::None};
}

}  // namespace tamsel
