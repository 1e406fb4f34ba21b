#pragma once

// Files dragged onto the window: which path box takes them, or why not. Windows ask while
// the drag moves (the cursor shows a refusal) and again on the drop.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "window/path_boxes.h"

namespace tamsel {

// One item of a drag, as the platform names it.
struct DroppedItem {
    std::string path;     // UTF-8; empty when the item is no local file (a web address, text)
    bool folder = false;  // the path names a folder
};

enum class DropRefusal {
    None,          // taken
    NotAFile,      // nothing, or something that is no local file
    SeveralFiles,  // more than one item: a box holds one path
    Folder,        // a folder: both boxes name files
};

struct DropDecision {
    std::optional<RunInput> box;  // the box whose text becomes `path`; none when refused
    std::string path;
    DropRefusal refusal = DropRefusal::None;
};

// Whether `path`'s file name is "Links.xml" in any letter case: the menu file.
bool NamesMenuFile(std::string_view path);

// For `items` dropped over the box `under` (none: elsewhere): one local file is taken, by
// the box under it, else a menu file by the menu's box, any other by the list's.
DropDecision DecideDrop(std::span<const DroppedItem> items, std::optional<RunInput> under);

}  // namespace tamsel
