// The window in a real X server, with keys and clicks sent through the server by xdotool
// (XTest), so that a held key repeats the way a keyboard's does: as release/press pairs that
// the toolkit does not always recognise as repeats. The message boxes are the real ones. CI
// runs these tests twice: in a bare X server, and with a window manager (openbox).

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "app/form_main.h"
#include "app/path_box.h"
#include "app/qt_desktop.h"
#include "qt_printers.h"
#include "test_support/temp_folder.h"

namespace {

class X11Keys : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP() << "needs the xcb platform in an X server";
        }
        folder.write("data/Links.xml", "x");
        folder.write("data/List.txt", "x");
        window = std::make_unique<FormMain>(desktop, folder.root().string(), [this](const auto&) {
            ++runs;
            // A real run flushes its files to the disk: the key's repeats queue up
            // meanwhile, which is when the toolkit misses them.
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
            return tamsel::RunOutcome{tamsel::RunStatus::InputError, "Missing", {}, {}, {}};
        });
        desktop.setOwner(window.get());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // Runs xdotool with `commands` and waits until it ends and its last events are in.
    // Returns whether a message box was open then; that box is closed as a click on OK
    // would close it.
    bool xdotool(const QStringList& commands) {
        QProcess tool;
        tool.start(QStringLiteral("xdotool"), commands);
        EXPECT_TRUE(tool.waitForStarted());
        // Polled from the message box's own loop too, which runs while it shows.
        bool leftOpen = false;
        bool done = false;
        int quietPolls = 0;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            // Events the server sent last may still be on their way.
            if (done || tool.state() != QProcess::NotRunning || ++quietPolls < 3) {
                return;
            }
            done = true;
            if (QWidget* box = QApplication::activeModalWidget()) {
                leftOpen = true;
                box->close();
            }
        });
        closer.start(100);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return done && !QApplication::activeModalWidget(); }, 20'000));
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
        return leftOpen;
    }

    PathBox* box(int index = 0) const {
        return window->findChild<PathBox*>(QStringLiteral("txtFile%1").arg(index));
    }
    // Where the pointer goes to click `widget`, or to lie `below` it, in screen pixels.
    static QStringList pointAt(const QWidget* widget, int below = 0) {
        const QPoint at = widget->mapToGlobal(QPoint(widget->width() / 2, widget->height() / 2));
        return {"mousemove", QString::number(at.x()), QString::number(at.y() + below)};
    }

    tamsel::test::TempFolder folder;
    QtDesktop desktop;
    std::unique_ptr<FormMain> window;
    int runs = 0;
};

TEST_F(X11Keys, AHeldEnterRunsStartOnce) {
    xdotool({"keydown", "Return", "sleep", "2", "keyup", "Return"});
    EXPECT_EQ(runs, 1);
    xdotool({"key", "Return"});
    EXPECT_EQ(runs, 2) << "a new press runs again";
}

TEST_F(X11Keys, AHeldEnterThatClosedTheCompletionListRunsNothing) {
    const QString typed = QString::fromStdString(folder.path("data")) + "/";
    // Typed key by key, as a user does: every key lists the folder again.
    xdotool({"type", "--delay", "30", typed + "l"});
    ASSERT_TRUE(box()->completionList()->isVisible());
    xdotool({"keydown", "Return", "sleep", "2", "keyup", "Return"});
    EXPECT_FALSE(box()->completionList()->isVisible());
    EXPECT_EQ(box()->currentText(), typed + "Links.xml");
    EXPECT_EQ(runs, 0);
}

// After a run's message, closed by a key, clicks and keys go to the boxes as on a window
// just opened: a click enters a box whole, and the box the focus comes back to takes the
// typed path in place of its text, every key of it, with its completion list open.
TEST_F(X11Keys, AfterAMessageClicksAndKeysGoToTheBoxesAsOnAFreshWindow) {
    box(1)->setEditText(QStringLiteral("/nonexist/Links.xml"));
    const QString nowhere = QString::fromStdString(folder.path("nowhere"));
    EXPECT_FALSE(
        xdotool(QStringList{"key", "Return", "sleep", "0.8", "key", "Return", "sleep", "0.5"} +
                pointAt(box(1)) + QStringList{"click", "1", "sleep", "0.3", "type", nowhere}));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(box(1)->currentText(), nowhere);

    const QString typed = QString::fromStdString(folder.path("data")) + "/L";
    EXPECT_FALSE(
        xdotool(QStringList{"key", "Return", "sleep", "0.8", "key", "Escape", "sleep", "0.5"} +
                pointAt(box(1), box(1)->height()) + QStringList{"type", "--delay", "30", typed}));
    EXPECT_EQ(runs, 2);
    EXPECT_TRUE(box(1)->hasFocus());
    EXPECT_EQ(box(1)->currentText(), typed + "inks.xml");
    EXPECT_EQ(box(1)->lineEdit()->selectedText(), "inks.xml");
    EXPECT_TRUE(box(1)->completionList()->isVisible());
}

// The message box a held Enter brought stays until a new press: the key's repeats, which
// reach the box, are not presses made while it shows.
TEST_F(X11Keys, AHeldEnterLeavesTheMessageItBroughtForANewPress) {
    EXPECT_TRUE(xdotool({"keydown", "Return", "sleep", "1.5", "keyup", "Return"}));
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(xdotool(
        {"keydown", "Return", "sleep", "1.5", "keyup", "Return", "sleep", "0.2", "key", "Return"}));
    EXPECT_EQ(runs, 2);
}

}  // namespace
