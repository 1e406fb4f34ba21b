#include "window/form_layout.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tamsel {

namespace {

constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kGrey = 0x808080;
constexpr Rgb kDarkGrey = 0x404040;
constexpr Rgb kBlue = 0x0000FF;

constexpr FontStyle kBoxFont{"Tahoma", 9};
constexpr int kTwipsPerPixel = 15;

using K = ControlKind;

constexpr std::array<const char*, 4> kFallbacks{"Tahoma", "Liberation Sans", "Arimo",
                                                "DejaVu Sans"};

// "XML File (links.xml)" needs more than 825 twips: widened to 2400, free space above its
// box. The Folder row keeps the rows' spacing of 630 twips below the menu's box, as wide
// as the path boxes. Two lines per control: what it is, then where and how it shows.
// clang-format off
constexpr std::array kControls{
    ControlRow{"Shape1", K::Shape, "",
               {-30, -15, 8145, 1335}, -1, {}, {}, kWhite, kGrey},
    ControlRow{"Label1", K::Label, "Tamsel",
               {210, 255, 6645, 810}, -1, {"Tahoma", 24, true}, {}, {}, {}},
    ControlRow{"lblTitle2", K::Label, "Tool to convert links from Tamsel (used by Kestrow)",
               {300, 870, 6270, 210}, -1, {}, kGrey, {}, {}},
    ControlRow{"Image1", K::Picture, "",
               {6975, 105, 960, 960}, -1, {}, {}, {}, {}},
    ControlRow{"lblFile0", K::ClickLabel, "TXT File:",
               {120, 1425, 825, 210}, -1, {}, {}, {}, {}},
    ControlRow{"txtFile0", K::PathBox, "",
               {90, 1665, 7620, 330}, 1, kBoxFont, kBlue, {}, {}},
    ControlRow{"btnOpen0", K::BrowseButton, "...",
               {7680, 1680, 330, 285}, -1, {}, {}, {}, {}},
    ControlRow{"lblFile1", K::ClickLabel, "XML File (links.xml)",
               {105, 2055, 2400, 210}, -1, {}, {}, {}, {}},
    ControlRow{"txtFile1", K::PathBox, "",
               {75, 2295, 7620, 330}, 4, kBoxFont, kBlue, {}, {}},
    ControlRow{"btnOpen1", K::BrowseButton, "...",
               {7665, 2310, 330, 285}, -1, {}, {}, {}, {}},
    ControlRow{"lblFolder", K::Label, "Folder:",
               {105, 2685, 825, 210}, -1, {}, {}, {}, {}},
    ControlRow{"cboFolder", K::FolderList, "",
               {75, 2925, 7620, 330}, 5, kBoxFont, {}, {}, {}},
    ControlRow{"btnStart", K::StartButton, "Start >",
               {6120, 4920, 1845, 570}, 6, {"Tahoma", 8.25, true}, {}, kWhite, {}},
    ControlRow{"lblCredits", K::ClickLabel, "\u00A9 2026 Tamsel authors",
               {225, 5115, 2055, 210}, -1, {"Tahoma", 8.25, false, true}, kDarkGrey, {}, {}},
};
// clang-format on

}  // namespace

std::span<const char* const> FontFallbacks() {
    return kFallbacks;
}

std::span<const ControlRow> FormControls() {
    return kControls;
}

const ControlRow* FindControl(std::string_view name) {
    const std::size_t index = ControlIndex(name);
    return index < kControls.size() ? &kControls[index] : nullptr;
}

std::size_t ControlIndex(std::string_view name) {
    return static_cast<std::size_t>(std::ranges::find(kControls, name, &ControlRow::name) -
                                    kControls.begin());
}

std::vector<const ControlRow*> TabStops() {
    std::vector<const ControlRow*> stops;
    for (const ControlRow& row : kControls) {
        if (row.tabIndex >= 0) {
            stops.push_back(&row);
        }
    }
    std::ranges::sort(stops, {}, &ControlRow::tabIndex);
    return stops;
}

Rect TwipsToPixels(const Rect& twips) {
    return {twips.left / kTwipsPerPixel, twips.top / kTwipsPerPixel, twips.width / kTwipsPerPixel,
            twips.height / kTwipsPerPixel};
}

int PointsToPixels(double points) {
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

}  // namespace tamsel
