#include "app/qt_layout.h"

#include <QStringList>

namespace {

QRect ToQRect(const tamsel::Rect& pixels) {
    return {pixels.left, pixels.top, pixels.width, pixels.height};
}

}  // namespace

QSize FormClientSize() {
    return ToQRect(tamsel::TwipsToPixels(tamsel::kClientTwips)).size();
}

QRect ControlRect(const tamsel::ControlRow& control) {
    return ToQRect(tamsel::TwipsToPixels(control.twips));
}

QColor ToQColor(tamsel::Rgb colour) {
    return {tamsel::Red(colour), tamsel::Green(colour), tamsel::Blue(colour)};
}

QFont ControlFont(const tamsel::FontStyle& style) {
    const tamsel::FontStyle& window = tamsel::kWindowFont;
    QStringList families{QString::fromUtf8(style.face ? style.face : window.face)};
    for (const char* fallback : tamsel::FontFallbacks()) {
        if (!families.contains(QString::fromUtf8(fallback))) {
            families << QString::fromUtf8(fallback);
        }
    }
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(tamsel::PointsToPixels(style.points > 0 ? style.points : window.points));
    font.setBold(style.bold);
    font.setUnderline(style.underline);
    return font;
}
