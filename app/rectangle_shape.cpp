#include "app/rectangle_shape.h"

#include <QPainter>

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
