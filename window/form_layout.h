#pragma once

// The main window's layout as data, one row per control: twips (1/1440 inch) as designed,
// colours as 0xRRGGBB, fonts by name and point size; each window converts it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tamsel {

using Rgb = std::uint32_t;

constexpr int Red(Rgb colour) {
    return static_cast<int>((colour >> 16) & 0xFF);
}
constexpr int Green(Rgb colour) {
    return static_cast<int>((colour >> 8) & 0xFF);
}
constexpr int Blue(Rgb colour) {
    return static_cast<int>(colour & 0xFF);
}

// The window's caption and the caption of its message boxes.
inline constexpr std::string_view kApplicationTitle = "Tamsel";

struct FontStyle {
    const char* face = nullptr;  // nullptr: the window font's face
    double points = 0;           // 0: the window font's size
    bool bold = false;           // weight 700, else 400
    bool underline = false;
};

inline constexpr FontStyle kWindowFont{"Tahoma", 8.25};

// Faces to try where the window font's is missing: the first keeps close to Tahoma's
// widths, the last is on every Debian system.
std::span<const char* const> FontFallbacks();

// FolderList: a drop-down list that is not editable (the Folder row's).
enum class ControlKind {
    Shape,
    Label,
    ClickLabel,
    Picture,
    PathBox,
    BrowseButton,
    FolderList,
    StartButton
};

struct Rect {
    int left, top, width, height;

    bool operator==(const Rect&) const = default;
};

struct ControlRow {
    const char* name;  // the control's name, e.g. "txtFile0" for txtFile(0)
    ControlKind kind;
    const char* caption;      // UTF-8; empty when the control shows none
    Rect twips;               // from the client area's top left corner
    int tabIndex;             // place in the Tab order; -1: not reached by Tab
    FontStyle font;           // a zero size: the window font
    std::optional<Rgb> text;  // text colour; none: the system's button-text colour
    std::optional<Rgb> face;  // fill of a shape, face of a button
    std::optional<Rgb> line;  // border line of a shape
};

inline constexpr Rect kClientTwips{0, 0, 8055, 5550};

// The window's controls, the header band first (back to front), then the rows below it.
std::span<const ControlRow> FormControls();

// The row named `name` (nullptr for none) and its place in FormControls() (size() for none).
const ControlRow* FindControl(std::string_view name);
std::size_t ControlIndex(std::string_view name);

// The controls that Tab reaches, in the order it reaches them.
std::vector<const ControlRow*> TabStops();

// Twips, and the points of a font size (rounded), as pixels at 96 dpi.
Rect TwipsToPixels(const Rect& twips);
int PointsToPixels(double points);

}  // namespace tamsel
