#include "app/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPushButton>

#include "app/click_label.h"
#include "window/form_layout.h"
#include "window/path_boxes.h"

namespace {

constexpr char kLinkProperty[] = "tamselLink";

// A clickable label that readers present as a link: its text is its name, and its one
// action follows it as a click does.
class AccessibleLink : public QAccessibleWidget {
  public:
    explicit AccessibleLink(ClickLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            return static_cast<const ClickLabel*>(widget())->text();
        }
        return QAccessibleWidget::text(kind);
    }
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

QAccessibleInterface* LinkFactory(const QString&, QObject* object) {
    auto* label = qobject_cast<ClickLabel*>(object);
    if (label && label->property(kLinkProperty).toBool()) {
        return new AccessibleLink(label);
    }
    return nullptr;
}

template <typename T>
T* Named(QWidget* form, const char* name) {
    return form->findChild<T*>(QLatin1StringView(name));
}

}  // namespace

void NameForScreenReaders(QWidget* form) {
    static const bool installed = [] {
        QAccessible::installFactory(LinkFactory);
        return true;
    }();
    (void)installed;

    for (const tamsel::PathBoxRow& row : tamsel::PathBoxes()) {
        auto* box = Named<QWidget>(form, row.box);
        Named<QLabel>(form, row.label)->setBuddy(box);
        box->setAccessibleName(QString::fromUtf8(row.spokenBox));
        Named<QPushButton>(form, row.button)
            ->setAccessibleName(QString::fromUtf8(row.spokenButton));
    }
    Named<QPushButton>(form, "btnStart")
        ->setAccessibleName(QString::fromUtf8(tamsel::FindControl("btnStart")->caption));
    Named<ClickLabel>(form, "lblCredits")->setProperty(kLinkProperty, true);
}
