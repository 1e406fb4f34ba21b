#pragma once

#include <QProxyStyle>

// The style of a button with a face colour of its own: Fusion, which paints the face in the
// palette's colour on every platform, with a dotted focus frame inside the button's edge
// once the focus came by the keyboard, as desktop buttons show it. Fusion alone marks a
// focused default button only by a shade of its outline that a default button has anyway.
class ButtonStyle : public QProxyStyle {
  public:
    ButtonStyle();

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};
