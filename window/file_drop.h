#pragma once

// Files dragged onto the window from a file manager: which path box a drop goes to, or
// why it is refused. Both windows ask while the drag moves (to show the refusal in the
// cursor) and again when it is dropped.

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

// The decision for `items` dropped with the pointer over the path box `under` (none:
// anywhere else on the window). One local file is taken: onto a path box by that box;
// elsewhere a menu file (NamesMenuFile) by the menu's box and any other file by the list's.
DropDecision DecideDrop(std::span<const DroppedItem> items, std::optional<RunInput> under);

}  // namespace tamsel
