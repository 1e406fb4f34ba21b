#include "app/button_style.h"

#include <QPainter>
#include <QPen>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

// How far the frame stands inside the button's edge, in pixels.
constexpr int kFrameInset = 4;

}  // namespace

ButtonStyle::ButtonStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void ButtonStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    const bool keyboardFocus =
        option->state.testFlag(State_HasFocus) && option->state.testFlag(State_KeyboardFocusChange);
    if (element != CE_PushButton || !keyboardFocus) {
        return;
    }
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
