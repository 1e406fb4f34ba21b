#include "app/form_controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QStyleFactory>
#include <QStyleOption>

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
