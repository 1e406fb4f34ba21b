// The window in a real X server, with keys sent through the server by xdotool (XTest), so
// that a held key repeats the way a keyboard's does: as release/press pairs that the toolkit
// does not always recognise as repeats. The message boxes are the real ones, which a held
// Enter closes again and again.

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

    // Runs xdotool with `commands` and waits until it ends and no message box is left open;
    // a box that a run opened after the key came up is closed as a click on OK would.
    void xdotool(const QStringList& commands) {
        QProcess tool;
        tool.start(QStringLiteral("xdotool"), commands);
        ASSERT_TRUE(tool.waitForStarted());
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&tool] {
            if (tool.state() == QProcess::NotRunning) {
                if (QWidget* box = QApplication::activeModalWidget()) {
                    box->close();
                }
            }
        });
        closer.start(200);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return tool.state() == QProcess::NotRunning && !QApplication::activeModalWidget();
            },
            20'000));
        // Events the server sent last may still be on their way.
        QTest::qWait(300);
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    }

    PathBox* box() const { return window->findChild<PathBox*>(QStringLiteral("txtFile0")); }

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

}  // namespace
