#include "window/path_boxes.h"

#include <algorithm>
#include <array>

namespace tamsel {

namespace {

constexpr std::array<PathBoxRow, kPathBoxCount> kPathBoxes{{
    {RunInput::List, "txtFile0", "lblFile0", "btnOpen0", "TXT File:", "Open File with URLs",
     "Text File (*.txt)|*.txt|Firefox Bookmarks (*.html)|*.html", "url.txt", &RunPaths::listPath,
     "TXT File:", "Browse for the list"},
    {RunInput::Menu, "txtFile1", "lblFile1", "btnOpen1", "XML File (links.xml)", "Open Links.xml",
     "XML File (Links.xml)|Links.xml", "FEATURES/Links.xml", &RunPaths::linksPath,
     "XML File (links.xml):", "Browse for the menu"},
}};

}  // namespace

std::span<const PathBoxRow, kPathBoxCount> PathBoxes() {
    return kPathBoxes;
}

const PathBoxRow& PathBoxOf(RunInput input) {
    return kPathBoxes[static_cast<std::size_t>(input)];
}

const PathBoxRow* FindPathBox(std::string_view name, const char* PathBoxRow::*column) {
    const auto box = std::ranges::find(kPathBoxes, name, column);
    return box != kPathBoxes.end() ? &*box : nullptr;
}

}  // namespace tamsel
