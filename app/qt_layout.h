#pragma once

// The layout table (window/form_layout.h) in Qt's terms: rectangles in device-independent
// pixels, colours, fonts.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>

#include "window/form_layout.h"

// The client area: fixed, 537 x 370 pixels.
QSize FormClientSize();

// A control's rectangle in device-independent pixels (15 twips each).
QRect ControlRect(const tamsel::ControlRow& control);

QColor ToQColor(tamsel::Rgb colour);

// `style` over the window font (`{}`: Tahoma 8.25 pt regular, or the nearest sans there is).
// Sizes are in device-independent pixels at 96 dpi (8.25 pt = 11 px), like the geometry, so
// that the layout scales as one on dense screens and a font never outgrows its control.
QFont ControlFont(const tamsel::FontStyle& style);
