#pragma once

// The controls of the layout table (window/form_layout.h) that Qt has no widget for.

#include <QColor>
#include <QLabel>
#include <QProxyStyle>

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
