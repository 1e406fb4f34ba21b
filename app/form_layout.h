#pragma once

// The main window's layout as data: one row per control, in twips (1/1440 inch) as the
// window was designed, converted at 15 twips per device-independent pixel. The window is
// built from this table and the layout test checks the built window against it.

#include <QFont>
#include <QRect>
#include <QRgb>
#include <QSize>

#include <optional>
#include <span>

enum class ControlKind { Shape, Label, ClickLabel, Picture, PathBox, BrowseButton, StartButton };

// A control's own font; a zero size means the window font.
struct FontStyle {
    double points = 0;
    bool bold = false;
    bool underline = false;
};

struct ControlRow {
    const char* name;  // objectName, e.g. "txtFile0" for txtFile(0)
    ControlKind kind;
    const char* caption;           // empty when the control shows none
    int left, top, width, height;  // twips, from the client area's top left corner
    int tabIndex;                  // place in the Tab order; -1: not reached by Tab
    FontStyle font;
    std::optional<QRgb> text;  // text colour; none: the system's button-text colour
    std::optional<QRgb> face;  // fill of a shape, face of a button
    std::optional<QRgb> line;  // border line of a shape
};

// The window's controls, the header band first (back to front), then the rows below it.
std::span<const ControlRow> FormControls();

// The row named `name`, or nullptr.
const ControlRow* FindControl(const char* name);

// The client area: fixed, 537 x 370 pixels.
QSize FormClientSize();

// A rectangle in twips as device-independent pixels (15 twips each).
QRect TwipsToPixels(int left, int top, int width, int height);
QRect ControlRect(const ControlRow& control);

// The window font, Tahoma 8.25 pt regular, or the nearest sans the system has.
QFont FormFont();

// `style` applied over the window font. Sizes are set in device-independent pixels at
// 96 dpi (8.25 pt = 11 px), like the geometry, so that the whole layout scales as one on
// high-density screens and a font never outgrows its control.
QFont ControlFont(const FontStyle& style);

// The points of a font size as pixels at 96 dpi.
int PointsToPixels(double points);
