// The built window against its layout table: geometry, captions, fonts, colours, focus.

#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/form_controls.h"
#include "app/form_main.h"
#include "fake_desktop.h"
#include "qt_printers.h"
#include "test_support/temp_folder.h"

namespace {

using tamsel::ControlKind;
using tamsel::ControlRow;
using tamsel::FindControl;
using tamsel::FormControls;
using tamsel::PointsToPixels;

class FormLayout : public ::testing::Test {
  protected:
    tamsel::test::TempFolder folder;
    FakeDesktop desktop;
    FormMain window{desktop, folder.root().string(),
                    [](const tamsel::RunPaths&) { return tamsel::RunOutcome{}; }};

    QWidget* control(const ControlRow& row) {
        return window.findChild<QWidget*>(QLatin1StringView(row.name));
    }
    void show() {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    // The window's control that holds the focus (a path box rather than its edit field).
    QString focused() {
        QWidget* widget = QApplication::focusWidget();
        while (widget && widget->parentWidget() != &window) {
            widget = widget->parentWidget();
        }
        return widget ? widget->objectName() : QString();
    }
};

QString Caption(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        return button->text();
    }
    return {};
}

QColor TextColour(QWidget* widget) {
    if (auto* box = qobject_cast<QComboBox*>(widget); box && box->lineEdit()) {
        return box->lineEdit()->palette().color(QPalette::Text);
    }
    return widget->palette().color(QPalette::Active, widget->foregroundRole());
}

TEST(FormLayoutTable, ConvertsTwipsToPixelsAtFifteenEach) {
    EXPECT_EQ(FormClientSize(), QSize(537, 370));
    EXPECT_EQ(ControlRect(*FindControl("Shape1")), QRect(-2, -1, 543, 89));
    EXPECT_EQ(ControlRect(*FindControl("txtFile0")), QRect(6, 111, 508, 22));
    EXPECT_EQ(ControlRect(*FindControl("btnOpen1")), QRect(511, 154, 22, 19));
    EXPECT_EQ(ControlRect(*FindControl("btnStart")), QRect(408, 328, 123, 38));
    EXPECT_EQ(PointsToPixels(8.25), 11);
    EXPECT_EQ(PointsToPixels(9), 12);
    EXPECT_EQ(PointsToPixels(24), 32);
    EXPECT_EQ(FindControl("txtFile2"), nullptr);
    EXPECT_EQ(ControlFont({}).families().value(0), "Tahoma");
}

TEST_F(FormLayout, WindowIsFixedWithoutMaximizeButton) {
    EXPECT_EQ(window.objectName(), "formMain");
    EXPECT_EQ(window.windowTitle(), "Tamsel");
    EXPECT_EQ(window.minimumSize(), QSize(537, 370));
    EXPECT_EQ(window.maximumSize(), QSize(537, 370));
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    const QList<QSize> iconSizes = window.windowIcon().availableSizes();
    EXPECT_TRUE(iconSizes.contains(QSize(16, 16)));
    EXPECT_TRUE(iconSizes.contains(QSize(32, 32)));
}

TEST_F(FormLayout, EveryControlMatchesItsRow) {
    for (const ControlRow& row : FormControls()) {
        SCOPED_TRACE(row.name);
        QWidget* widget = control(row);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), ControlRect(row));
        EXPECT_EQ(Caption(widget), QString::fromUtf8(row.caption));
        const QFont expected = ControlFont(row.font);
        EXPECT_EQ(widget->font().pixelSize(), expected.pixelSize());
        EXPECT_EQ(widget->font().bold(), row.font.bold);
        EXPECT_EQ(widget->font().underline(), row.font.underline);
        if (row.kind != ControlKind::Shape && row.kind != ControlKind::Picture) {
            const QColor text =
                row.text ? QColor(*row.text) : window.palette().color(QPalette::ButtonText);
            EXPECT_EQ(TextColour(widget), text);
        }
    }
}

// The font depends on the machine: the one in use and every other candidate installed here
// must fit, so that a machine with another one of them shows no clipped caption either.
TEST_F(FormLayout, EveryCaptionFitsInEveryInstalledCandidateFont) {
    QStringList families = {QFontInfo(window.font()).family()};
    for (const QString& family : ControlFont({}).families()) {
        if (QFontDatabase::hasFamily(family)) {
            families << family;
        }
    }
    for (const QString& family : families) {
        for (const ControlRow& row : FormControls()) {
            const QString caption = Caption(control(row));
            if (caption.isEmpty()) {
                continue;
            }
            SCOPED_TRACE(family.toStdString() + " " + row.name);
            QFont font = ControlFont(row.font);
            font.setFamilies({family});
            const QFontMetrics metrics(font);
            EXPECT_LE(metrics.horizontalAdvance(caption), control(row)->contentsRect().width());
            EXPECT_LE(metrics.height(), control(row)->contentsRect().height());
        }
    }
}

TEST_F(FormLayout, ShapeAndPictureAreDrawnAsDesigned) {
    auto* shape = window.findChild<RectangleShape*>("Shape1");
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->fill(), QColor(255, 255, 255));
    EXPECT_EQ(shape->line(), QColor(128, 128, 128));
    EXPECT_TRUE(shape->testAttribute(Qt::WA_TransparentForMouseEvents));

    auto* picture = window.findChild<QLabel*>("Image1");
    EXPECT_EQ(picture->pixmap().size(), QSize(64, 64));
    EXPECT_FALSE(picture->hasScaledContents());

    auto* start = window.findChild<QPushButton*>("btnStart");
    EXPECT_EQ(start->palette().color(QPalette::Button), QColor(255, 255, 255));
    EXPECT_FALSE(start->autoDefault());
    auto* credits = window.findChild<QLabel*>("lblCredits");
    EXPECT_EQ(credits->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(credits->toolTip().isEmpty());
}

TEST_F(FormLayout, OnlyBoxesAndStartTakeTheFocus) {
    for (const ControlRow& row : FormControls()) {
        SCOPED_TRACE(row.name);
        const bool takesFocus = control(row)->focusPolicy() != Qt::NoFocus;
        EXPECT_EQ(takesFocus, row.tabIndex >= 0);
    }
}

TEST_F(FormLayout, FocusStartsInListBoxAndTabCyclesBoxesAndStart) {
    show();
    EXPECT_EQ(focused(), "txtFile0");
    auto* start = window.findChild<QPushButton*>("btnStart");
    const QImage unfocused = start->grab().toImage();
    for (const char* next : {"txtFile1", "btnStart", "txtFile0"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focused(), next);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(focused(), "btnStart");
    // The keyboard focus shows on the button, not only in the key's effect.
    EXPECT_NE(start->grab().toImage(), unfocused);
}

}  // namespace
