#include "app/form_controls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPushButton>
#include <QStringList>
#include <QStyleFactory>
#include <QStyleOption>

#include <mutex>

#include "window/path_boxes.h"

namespace {

QRect ToQRect(const tamsel::Rect& pixels) {
    return {pixels.left, pixels.top, pixels.width, pixels.height};
}

// The role a widget plays for readers where Qt's own choice does not fit: a plain
// top-level widget would be a "filler" rather than the window it is, and a clickable label
// static text rather than a link.
constexpr char kRoleProperty[] = "tamselAccessibleRole";

// A clickable label that readers present as a link, whose one action follows it as a click
// does.
class AccessibleLink : public QAccessibleWidget {
  public:
    explicit AccessibleLink(ClickLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = true;
        return state;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction()) {
            emit static_cast<ClickLabel*>(widget())->clicked();
        }
    }
};

// A path box, or the Folder row's list, named by its label. Qt on Linux names a combo box by
// its text and leaves the label to a relation, which not every reader follows; the text
// stays the value.
class AccessibleBox : public QAccessibleWidget {
  public:
    explicit AccessibleBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return static_cast<const QComboBox*>(widget())->currentText();
        }
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* RoleFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    const QVariant property = object ? object->property(kRoleProperty) : QVariant();
    if (!widget || !property.isValid()) {
        return nullptr;
    }
    const auto role = property.value<QAccessible::Role>();
    if (auto* label = qobject_cast<ClickLabel*>(widget); label && role == QAccessible::Link) {
        return new AccessibleLink(label);
    }
    if (auto* box = qobject_cast<QComboBox*>(widget); box && role == QAccessible::ComboBox) {
        return new AccessibleBox(box);
    }
    return new QAccessibleWidget(widget, role);
}

// Gives `widget` its role; an interface Qt made for it already (a widget announces its
// text as it is built) is dropped, so that the next reader's question gets the new one.
void SetRole(QWidget* widget, QAccessible::Role role) {
    widget->setProperty(kRoleProperty, QVariant::fromValue(role));
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

template <typename T>
T* Named(QWidget* form, const char* name) {
    return form->findChild<T*>(QLatin1StringView(name));
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

void NameForScreenReaders(QWidget* form) {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(RoleFactory); });

    for (const tamsel::PathBoxRow& row : tamsel::PathBoxes()) {
        auto* box = Named<QWidget>(form, row.box);
        Named<QLabel>(form, row.label)->setBuddy(box);
        box->setAccessibleName(QString::fromUtf8(row.spokenBox));
        SetRole(box, QAccessible::ComboBox);
        Named<QPushButton>(form, row.button)
            ->setAccessibleName(QString::fromUtf8(row.spokenButton));
    }
    auto* folders = Named<QComboBox>(form, "cboFolder");
    Named<QLabel>(form, "lblFolder")->setBuddy(folders);
    folders->setAccessibleName(QString::fromUtf8(tamsel::FindControl("lblFolder")->caption));
    SetRole(folders, QAccessible::ComboBox);
    auto* credits = Named<ClickLabel>(form, "lblCredits");
    credits->setAccessibleName(credits->text());
    SetRole(credits, QAccessible::Link);
    SetRole(form, QAccessible::Window);
}
