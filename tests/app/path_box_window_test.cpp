// The path boxes inside the real window: focus order, F2 reaching the window's command for
// the right box, and Enter the start button.

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

#include "app/form_main.h"
#include "app/path_box.h"
#include "fake_desktop.h"
#include "test_support/temp_folder.h"

namespace {

class PathBoxInWindow : public ::testing::Test {
  protected:
    PathBoxInWindow() {
        folder.write("url.txt", "x");
        folder.write("FEATURES/Links.xml", "x");
        window = std::make_unique<FormMain>(
            desktop, folder.root().string(), [](const tamsel::RunPaths&) {
                return tamsel::RunOutcome{tamsel::RunStatus::InputError, "Missing", {}, {}, {}};
            });
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    PathBox* box(int index) const {
        return window->findChild<PathBox*>(QStringLiteral("txtFile%1").arg(index));
    }
    void click(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window->windowHandle(), key, modifiers);
    }
    static bool wholeTextSelected(const PathBox* box) {
        return box->hasFocus() && !box->currentText().isEmpty() &&
               box->lineEdit()->selectedText() == box->currentText();
    }

    tamsel::test::TempFolder folder;
    FakeDesktop desktop;
    std::unique_ptr<FormMain> window;
};

TEST_F(PathBoxInWindow, TabWalksTheBoxesThenStartSelectingEachBoxWhole) {
    EXPECT_TRUE(wholeTextSelected(box(0)));
    click(Qt::Key_Tab);
    EXPECT_TRUE(wholeTextSelected(box(1)));
    click(Qt::Key_Tab);
    EXPECT_TRUE(window->findChild<QPushButton*>("btnStart")->hasFocus());
    click(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(wholeTextSelected(box(1)));
}

TEST_F(PathBoxInWindow, F2OpensTheDialogOfItsBoxAndEnterStarts) {
    const char* titles[] = {"Open File with URLs", "Open Links.xml"};
    for (int index : {0, 1}) {
        box(index)->setFocus();
        desktop.calls.clear();
        click(Qt::Key_F2);
        click(Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->commands().Runs()->Running(); }));
        ASSERT_EQ(desktop.calls.size(), 2U) << index;
        EXPECT_EQ(desktop.calls[0].what, "dialog");
        EXPECT_EQ(desktop.calls[0].text, titles[index]);
        EXPECT_EQ(desktop.calls[1].what, "message");
        EXPECT_FALSE(box(index)->completionList()->isVisible());
    }
}

TEST_F(PathBoxInWindow, TypingCompletesInTheWindowsBox) {
    const QString typed = QString::fromStdString(folder.path("FEATURES")) + "/L";
    box(1)->setFocus();
    box(1)->setEditText(typed.chopped(1));
    box(1)->lineEdit()->setCursorPosition(typed.size() - 1);
    QTest::keyClick(window->windowHandle(), 'L');
    EXPECT_EQ(box(1)->currentText(), typed.chopped(1) + "Links.xml");
    EXPECT_EQ(box(1)->lineEdit()->selectedText(), "inks.xml");
    QListView* list = box(1)->completionList();
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(window->updatesEnabled());
    // The list shows the entries in the box's font, but not in the box's blue.
    EXPECT_EQ(list->font(), box(1)->font());
    EXPECT_NE(list->palette().color(QPalette::Text), box(1)->palette().color(QPalette::Text));
}

// A release whose press the window did not see, such as that of the key that closed a
// message box, starts no completion.
TEST_F(PathBoxInWindow, StrayReleaseLeavesTheBoxAlone) {
    const QString typed = QString::fromStdString(folder.path("FEATURES")) + "/Li";
    box(1)->setFocus();
    box(1)->setEditText(typed);
    box(1)->lineEdit()->setCursorPosition(typed.size());
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_O, Qt::AltModifier, "o");
    QApplication::sendEvent(box(1), &release);
    EXPECT_EQ(box(1)->currentText(), typed);
    EXPECT_FALSE(box(1)->completionList()->isVisible());
}

}  // namespace
