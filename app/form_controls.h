#pragma once

// The layout table (window/form_layout.h) in Qt's terms: rectangles in device-independent
// pixels, colours, fonts, the controls Qt has no widget for, and how screen readers see them.

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QProxyStyle>
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

// A label that reports a click: the left button pressed and released over it.
class ClickLabel : public QLabel {
    Q_OBJECT

  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool pressed_ = false;
};

// A filled rectangle with a one-pixel border line along its edges; takes no input.
class RectangleShape : public QWidget {
  public:
    RectangleShape(QColor fill, QColor line, QWidget* parent = nullptr);

    QColor fill() const { return fill_; }
    QColor line() const { return line_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor fill_;
    QColor line_;
};

// The style of a button with a face colour: Fusion, which paints the palette's face colour on
// every platform, with a dotted frame inside the edge once the focus came by the keyboard, as
// desktop buttons show it (Fusion alone marks it by a shade a default button has anyway).
class ButtonStyle : public QProxyStyle {
  public:
    ButtonStyle();

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};

// Names the form's controls for screen readers (the start button's caption is its name
// already): each path box and the Folder row by its label (also its buddy), each "..." button
// by what it browses for, and the credit line as a link a reader can follow. `form` must hold
// its controls already.
void NameForScreenReaders(QWidget* form);
