#include "app/form_controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QStringList>
#include <QStyleFactory>
#include <QStyleOption>

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

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    // Like a button: a press that is dragged off the label before release is no click.
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) {
        emit clicked();
    }
}

RectangleShape::RectangleShape(QColor fill, QColor line, QWidget* parent)
    : QWidget(parent), fill_(fill), line_(line) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void RectangleShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), fill_);
    painter.setPen(line_);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

ButtonStyle::ButtonStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void ButtonStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    const bool keyboardFocus =
        option->state.testFlag(State_HasFocus) && option->state.testFlag(State_KeyboardFocusChange);
    if (element != CE_PushButton || !keyboardFocus) {
        return;
    }
    constexpr int kFrameInset = 4;  // pixels inside the button's edge
    painter->save();
    QPen pen(option->palette.color(QPalette::ButtonText), 1);
    pen.setDashPattern({1, 1});
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->drawRect(
        option->rect.adjusted(kFrameInset, kFrameInset, -kFrameInset - 1, -kFrameInset - 1));
    painter->restore();
}
