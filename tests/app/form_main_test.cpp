// The window's commands, driven through its controls with a recording desktop and a fake
// conversion.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "app/form_main.h"
#include "app/path_box.h"
#include "app/window_slot.h"
#include "fake_desktop.h"
#include "qt_printers.h"
#include "support/known_folders.h"
#include "test_support/other_run_lock.h"
#include "test_support/temp_folder.h"

namespace {

using tamsel::MessageIcon;
using tamsel::RunOutcome;
using tamsel::RunPaths;
using tamsel::RunStatus;

std::string Native(const tamsel::test::TempFolder& folder) {
    return folder.root().string();
}

class FormMainTest : public ::testing::Test {
  protected:
    tamsel::test::TempFolder folder;
    FakeDesktop desktop;
    std::vector<RunPaths> runs;
    RunOutcome outcome;
    std::unique_ptr<FormMain> window;

    void open() {
        window = std::make_unique<FormMain>(desktop, Native(folder), [this](const RunPaths& p) {
            runs.push_back(p);
            return outcome;
        });
    }
    // Waits for the run that Start began, if any, to hand its outcome to the window.
    void settle() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->commands().Runs()->Running(); }));
    }
    void show() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QComboBox* box(int index) {
        return window->findChild<QComboBox*>(QStringLiteral("txtFile%1").arg(index));
    }
    template <typename T>
    T* find(const char* name) {
        return window->findChild<T*>(name);
    }
};

// Default files in the program folder.

struct LoadCase {
    const char* name;
    const char* list;  // content of url.txt, nullptr: no file
    const char* menu;  // content of FEATURES/Links.xml, nullptr: no file
};

void PrintTo(const LoadCase& c, std::ostream* out) {
    *out << c.name;
}

class FormLoad : public FormMainTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(FormLoad, FillsABoxOnlyForADefaultFileWithContent) {
    const LoadCase& c = GetParam();
    if (c.list) {
        folder.write("url.txt", c.list);
    }
    if (c.menu) {
        folder.write("FEATURES/Links.xml", c.menu);
    }
    open();
    const std::string appFolder = folder.folder();
    EXPECT_EQ(window->commands().AppFolder(), appFolder);
    const bool listFilled = c.list && *c.list;
    const bool menuFilled = c.menu && *c.menu;
    EXPECT_EQ(box(0)->currentText().toStdString(), listFilled ? appFolder + "url.txt" : "");
    EXPECT_EQ(box(1)->currentText().toStdString(),
              menuFilled ? appFolder + "FEATURES/Links.xml" : "");
    EXPECT_EQ(box(0)->count(), 0);
    EXPECT_EQ(box(1)->count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Defaults, FormLoad,
                         ::testing::Values(LoadCase{"Both", "t\r\nhttp://a\r\n", "<XMBML/>"},
                                           LoadCase{"Neither", nullptr, nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormMainTest, WithoutAFolderTheDefaultsComeFromTheProgramsOwn) {
    window = std::make_unique<FormMain>(desktop);
    EXPECT_EQ(window->commands().AppFolder(), tamsel::ProgramFolder());
}

// Browsing.

struct BrowseCase {
    int index;
    const char* title;
    std::vector<tamsel::FileFilter> filters;
};

void PrintTo(const BrowseCase& c, std::ostream* out) {
    *out << "box " << c.index;
}

class Browse : public FormMainTest, public ::testing::WithParamInterface<BrowseCase> {};

TEST_P(Browse, HandsTitleFiltersAndBoxTextToTheDialog) {
    const BrowseCase& c = GetParam();
    open();
    box(c.index)->setEditText("/lists/old name.txt");
    QTest::mouseClick(find<QPushButton>(c.index == 0 ? "btnOpen0" : "btnOpen1"), Qt::LeftButton);
    ASSERT_EQ(desktop.calls.size(), 1u);
    const DesktopCall& call = desktop.calls[0];
    EXPECT_EQ(call.what, "dialog");
    EXPECT_EQ(call.text, c.title);
    EXPECT_EQ(call.initialPath, "/lists/old name.txt");
    EXPECT_EQ(call.filters, c.filters);
}

TEST_P(Browse, ChosenPathReplacesTheTextAndLeavesTheOtherBox) {
    const BrowseCase& c = GetParam();
    open();
    const int other = 1 - c.index;
    static_cast<CompletionModel*>(box(c.index)->model())->setEntries({"", {"/listed/entry"}});
    box(c.index)->setEditText("/somewhere/else.txt");
    box(other)->setEditText("/other/box");
    desktop.dialogAnswer = "/home/u/My Lists/chosen é.txt";
    window->commands().btnOpen_Click(static_cast<tamsel::RunInput>(c.index));
    EXPECT_EQ(box(c.index)->currentText().toStdString(), desktop.dialogAnswer);
    EXPECT_EQ(box(c.index)->count(), 1);
    EXPECT_EQ(box(other)->currentText(), "/other/box");
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, Browse,
    ::testing::Values(BrowseCase{0,
                                 "Open File with URLs",
                                 {{"Text File (*.txt)", "*.txt"},
                                  {"Firefox Bookmarks (*.html)", "*.html"}}},
                      BrowseCase{1, "Open Links.xml", {{"XML File (Links.xml)", "Links.xml"}}}),
    [](const auto& info) { return "Box" + std::to_string(info.param.index); });

// Opening folders and the credit's address.

TEST_F(FormMainTest, LabelClickOpensTheFolderOfItsBox) {
    open();
    box(0)->setEditText("/data/lists/url.txt");
    box(1)->setEditText("/menu/FEATURES/Links.xml");
    QTest::mouseClick(find<QLabel>("lblFile1"), Qt::LeftButton);
    QTest::mouseClick(find<QLabel>("lblFile0"), Qt::LeftButton);
    box(0)->setEditText("no separator");
    window->commands().lblFile_Click(tamsel::RunInput::List);
    ASSERT_EQ(desktop.calls.size(), 3u);
    EXPECT_EQ(desktop.calls[0].text, "/menu/FEATURES/");
    EXPECT_EQ(desktop.calls[1].text, "/data/lists/");
    EXPECT_EQ(desktop.calls[2].what, "openPath");
    EXPECT_EQ(desktop.calls[2].text, "");
}

TEST_F(FormMainTest, CreditClickOpensTheTooltipAddress) {
    open();
    auto* credits = find<QLabel>("lblCredits");
    QTest::mouseClick(credits, Qt::LeftButton);
    ASSERT_EQ(desktop.calls.size(), 1u);
    EXPECT_EQ(desktop.calls[0].what, "openUrl");
    EXPECT_EQ(desktop.calls[0].text, credits->toolTip());
    EXPECT_TRUE(QUrl(credits->toolTip(), QUrl::StrictMode).isValid());
}

// The start button.

struct StartCase {
    const char* name;
    RunOutcome outcome;
    const char* focus;  // the control focused after the run
};

void PrintTo(const StartCase& c, std::ostream* out) {
    *out << c.name;
}

class Start : public FormMainTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(Start, ShowsTheMessageThenFocusesThenOpensTheFolderAfterDone) {
    const StartCase& c = GetParam();
    outcome = c.outcome;
    open();
    show();
    box(0)->setEditText("/l/url.txt");
    box(1)->setEditText("/m/FEATURES/Links.xml");
    box(1)->setFocus();
    QTest::mouseClick(find<QPushButton>("btnStart"), Qt::LeftButton);
    settle();

    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].listPath, "/l/url.txt");
    EXPECT_EQ(runs[0].linksPath, "/m/FEATURES/Links.xml");
    EXPECT_EQ(runs[0].appFolder, window->commands().AppFolder());

    const bool done = c.outcome.status == RunStatus::Done;
    ASSERT_EQ(desktop.calls.size(), done ? 2u : 1u);
    EXPECT_EQ(desktop.calls[0].what, "message");
    EXPECT_EQ(desktop.calls[0].text.toStdString(), c.outcome.message);
    EXPECT_EQ(desktop.calls[0].icon, c.outcome.icon);
    if (done) {
        EXPECT_EQ(desktop.calls[1].what, "openPath");
        EXPECT_EQ(desktop.calls[1].text.toStdString(), c.outcome.folderToOpen);
        EXPECT_EQ(desktop.calls[1].focus, c.focus);
    }
    QWidget* focus = QApplication::focusWidget();
    while (focus && focus->parentWidget() != window.get()) {
        focus = focus->parentWidget();
    }
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(focus->objectName(), c.focus);
}

RunOutcome Outcome(RunStatus status, const char* message, MessageIcon icon,
                   std::optional<tamsel::RunInput> focusBox, const char* folder = "") {
    return {status, message, icon, focusBox, folder};
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, Start,
    ::testing::Values(StartCase{"Done",
                                Outcome(RunStatus::Done, "Done", MessageIcon::Information,
                                        std::nullopt, "/m/FEATURES/"),
                                "btnStart"},
                      StartCase{"ListMissing",
                                Outcome(RunStatus::InputError,
                                        "Please enter a TXT file or a Firefox Bookmarks.html.",
                                        MessageIcon::Information, tamsel::RunInput::List),
                                "txtFile0"},
                      StartCase{"MenuMissing",
                                Outcome(RunStatus::InputError, "Please enter the Links.xml.",
                                        MessageIcon::Information, tamsel::RunInput::Menu),
                                "txtFile1"}),
    [](const auto& info) { return std::string(info.param.name); });

// A run waiting for another run's lock: the controls are locked and the progress dialog
// comes after half a second and says so. Its Cancel, or Esc, ends the run with "Cancelled",
// the menu as it was and the controls back; the window's close button waits for the run to
// stop in the same way and closes the window, with no message.
TEST_F(FormMainTest, ProgressDialogFollowsASlowRunAndCancelOrClosingStopsIt) {
    enum class Stop { Cancel, Esc, CloseWindow };
    folder.write("url.txt", "Title\r\nhttp://example.org\r\n");
    folder.write("FEATURES/Links.xml", "<XMBML/>");
    const std::string menu = folder.path("FEATURES/Links.xml");
    tamsel::LockAttempt other = tamsel::test::LockAsAnotherRun(menu);
    ASSERT_EQ(other.state, tamsel::LockState::Held);
    for (const Stop stop : {Stop::Cancel, Stop::Esc, Stop::CloseWindow}) {
        SCOPED_TRACE(static_cast<int>(stop));
        desktop.calls.clear();
        window = std::make_unique<FormMain>(desktop, Native(folder));
        show();
        auto* start = find<QPushButton>("btnStart");
        QTest::mouseClick(start, Qt::LeftButton);
        EXPECT_FALSE(start->isEnabled());
        EXPECT_FALSE(box(0)->isEnabled());
        QProgressDialog* dialog = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            dialog = window->findChild<QProgressDialog*>();
            return dialog && dialog->isVisible();
        }));
        EXPECT_EQ(dialog->labelText(), "Waiting for another run to finish with the Links.xml...");
        EXPECT_FALSE(dialog->isModal()) << "the window still hears its close button";
        switch (stop) {
            case Stop::Cancel:
                QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
                break;
            case Stop::Esc:
                EXPECT_TRUE(QTest::qWaitForWindowActive(dialog)) << "it takes the keys";
                QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
                break;
            case Stop::CloseWindow:
                EXPECT_FALSE(window->close()) << "not before the run has stopped";
                EXPECT_TRUE(window->isVisible());
                break;
        }
        settle();
        EXPECT_EQ(window->findChild<QProgressDialog*>(), nullptr);
        EXPECT_EQ(folder.read("FEATURES/Links.xml"), "<XMBML/>");
        EXPECT_FALSE(folder.exists("FEATURES/Links.xml.tmp"));
        if (stop == Stop::CloseWindow) {
            EXPECT_TRUE(desktop.calls.empty());
            EXPECT_FALSE(window->isVisible());
            continue;
        }
        ASSERT_EQ(desktop.calls.size(), 1u);
        EXPECT_EQ(desktop.calls[0].text, "Cancelled");
        EXPECT_EQ(desktop.calls[0].icon, MessageIcon::Information);
        EXPECT_TRUE(start->isEnabled());
        EXPECT_TRUE(box(0)->isEnabled());
    }
}

// Enter presses the default button from wherever the focus is; Esc never runs anything.
TEST_F(FormMainTest, EnterPressesStartOnceFromEveryControlAndEscNever) {
    struct Case {
        const char* focus;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool autoRepeat;
        size_t runs;
    };
    const Case cases[] = {
        {"txtFile0", Qt::Key_Return, Qt::NoModifier, false, 1},
        {"txtFile1", Qt::Key_Enter, Qt::KeypadModifier, false, 1},
        {"btnStart", Qt::Key_Return, Qt::NoModifier, false, 1},
        {"btnStart", Qt::Key_Enter, Qt::KeypadModifier, false, 1},
        {"txtFile0", Qt::Key_Return, Qt::NoModifier, true, 0},
        {"btnStart", Qt::Key_Return, Qt::NoModifier, true, 0},
        {"txtFile0", Qt::Key_Return, Qt::ShiftModifier, false, 0},
        {"txtFile0", Qt::Key_Escape, Qt::NoModifier, false, 0},
        {"btnStart", Qt::Key_Escape, Qt::NoModifier, false, 0},
    };
    outcome = Outcome(RunStatus::InputError, "Missing item_template_query.txt",
                      MessageIcon::Information, std::nullopt);
    open();
    show();
    box(0)->setEditText("/l/url.txt");
    for (const Case& c : cases) {
        runs.clear();
        desktop.calls.clear();
        find<QWidget>(c.focus)->setFocus();
        box(0)->lineEdit()->setCursorPosition(3);
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, QString(), c.autoRepeat);
        QKeyEvent release(QEvent::KeyRelease, c.key, c.modifiers, QString(), c.autoRepeat);
        QApplication::sendEvent(window->windowHandle(), &press);
        QApplication::sendEvent(window->windowHandle(), &release);
        settle();
        EXPECT_EQ(runs.size(), c.runs) << c.focus << " key " << std::hex << c.key;
        // Enter in a path box no longer opens its folder: the message is all that shows.
        EXPECT_EQ(desktop.calls.size(), c.runs) << c.focus << " key " << std::hex << c.key;
        EXPECT_EQ(box(0)->currentText(), "/l/url.txt");
        // The run locked the boxes; the focus came back where it was, and a box it came
        // back to is entered anew.
        EXPECT_EQ(QApplication::focusWidget()->objectName(), c.focus);
        if (c.runs > 0 && std::string_view(c.focus) == "txtFile0") {
            EXPECT_EQ(box(0)->lineEdit()->selectedText(), "/l/url.txt");
        } else {
            EXPECT_EQ(box(0)->lineEdit()->cursorPosition(), 3) << c.focus;
            EXPECT_FALSE(box(0)->lineEdit()->hasSelectedText()) << c.focus;
        }
    }
}

TEST_F(FormMainTest, EnterAndEscWithTheCompletionListOpenOnlyCloseIt) {
    folder.write("data/Links.xml", "x");
    folder.write("data/List.txt", "x");
    open();
    show();
    auto* list = window->findChild<PathBox*>("txtFile0");
    const QString typed = QString::fromStdString(folder.path("data")) + "/";
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        list->setEditText(typed);
        list->lineEdit()->setCursorPosition(typed.size());
        QTest::keyClick(window->windowHandle(), Qt::Key_L);
        ASSERT_TRUE(list->completionList()->isVisible());
        QTest::keyClick(window->windowHandle(), Qt::Key_Down);
        QTest::keyClick(window->windowHandle(), Qt::Key_Down);
        QTest::keyClick(window->windowHandle(), key);
        EXPECT_FALSE(list->completionList()->isVisible()) << std::hex << key;
        EXPECT_EQ(list->currentText(), typed + "List.txt") << std::hex << key;
        EXPECT_TRUE(runs.empty()) << std::hex << key;
        EXPECT_TRUE(desktop.calls.empty()) << std::hex << key;
    }
    QTest::keyClick(window->windowHandle(), Qt::Key_Return);
    settle();
    EXPECT_EQ(runs.size(), 1u);
}

// The Folder row and box 0's stores through the window's own controls, over a fake home
// folder: a store chosen in box 0's list fills the row, a list chosen by the dialog refills
// it, the folder chosen goes to the run, and the row is locked while the run goes.
TEST_F(FormMainTest, TheFolderRowListsTheFoldersOfBox0sListAndTheRunTakesTheOneChosen) {
    folder.write("home/.config/google-chrome/Default/Bookmarks",
                 R"({"roots": {"bookmark_bar": {"type": "folder", "name": "", "children": [)"
                 R"({"type": "url", "name": "A", "url": "https://a.example/"}]}}})");
    folder.write("lists/export.html",
                 "<DL><p>\n<DT><H3>Bar</H3>\n<DL><p>\n<DT><A HREF=\"http://a.example/\">A</A>\n"
                 "<DT><H3>News</H3>\n<DL><p>\n<DT><A HREF=\"http://b.example/\">B</A>\n"
                 "</DL><p>\n</DL><p>\n</DL><p>\n");
    const QByteArray home = qgetenv("HOME");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QByteArray::fromStdString(folder.path("home")));
    qunsetenv("XDG_CONFIG_HOME");
    const std::shared_ptr<void> restore(nullptr, [&](void*) {
        qputenv("HOME", home);
        if (!config.isNull()) {
            qputenv("XDG_CONFIG_HOME", config);
        }
    });
    std::atomic<bool> running = false;
    std::atomic<bool> release = false;
    window = std::make_unique<FormMain>(desktop, Native(folder), [&](const RunPaths& paths) {
        runs.push_back(paths);
        running = true;
        while (!release) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return outcome;
    });
    show();
    auto* rows = find<QComboBox>("cboFolder");
    const auto shown = [rows] {
        QStringList texts;
        for (int row = 0; row < rows->count(); ++row) {
            texts << rows->itemText(row);
        }
        return texts;
    };
    EXPECT_EQ(shown(), QStringList{"All bookmarks"});
    EXPECT_FALSE(rows->isEnabled());
    EXPECT_EQ(rows->accessibleName(), "Folder:");
    EXPECT_EQ(find<QLabel>("lblFolder")->buddy(), rows);

    const QString store =
        QString::fromStdString(folder.path("home/.config/google-chrome/Default/Bookmarks"));
    QTest::keyClick(window->windowHandle(), Qt::Key_F4);
    QListView* stores = window->findChild<PathBox*>("txtFile0")->completionList();
    ASSERT_TRUE(stores->isVisible());
    EXPECT_EQ(stores->model()->index(0, 0).data().toString(), "Chrome, Default - " + store);
    QTest::keyClick(window->windowHandle(), Qt::Key_Down);
    QTest::keyClick(window->windowHandle(), Qt::Key_Return);
    EXPECT_EQ(box(0)->currentText(), store);
    EXPECT_EQ(shown(), (QStringList{"All bookmarks", "Bookmarks bar (1)"}));
    EXPECT_TRUE(rows->isEnabled());

    desktop.dialogAnswer = folder.path("lists/export.html");
    QTest::mouseClick(find<QPushButton>("btnOpen0"), Qt::LeftButton);
    EXPECT_EQ(shown(), (QStringList{"All bookmarks", "Bar (2)", "    News (1)"}));
    box(1)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), rows);
    QTest::keyClick(rows, Qt::Key_Down);
    QTest::keyClick(rows, Qt::Key_Down);
    QTest::keyClick(rows, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return running.load(); }));
    EXPECT_FALSE(rows->isEnabled());
    release = true;
    settle();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].folder, "Bar/News");
    EXPECT_TRUE(rows->isEnabled());
    EXPECT_EQ(rows->currentText(), "    News (1)");
    EXPECT_EQ(window->size(), QSize(537, 370));
}

// A second window opens beside the first, not on top of it.
TEST_F(FormMainTest, EachOpenWindowTakesTheNextSlotAndCascadesWithinTheScreen) {
    const QString locks = QString::fromStdString(Native(folder));
    {
        const WindowSlot first(locks);
        auto second = std::make_unique<WindowSlot>(locks);
        const WindowSlot third(locks);
        EXPECT_EQ(first.index(), 0);
        EXPECT_EQ(second->index(), 1);
        EXPECT_EQ(third.index(), 2);
        second.reset();
        EXPECT_EQ(WindowSlot(locks).index(), 1) << "a closed window's slot is free again";
    }
    EXPECT_EQ(WindowSlot(locks).index(), 0);

    open();
    window->cascade(0);
    const QRect centred = window->geometry();
    const QRect screen = window->screen()->availableGeometry();
    const int fitting =
        std::min(screen.right() - centred.right(), screen.bottom() - centred.bottom()) / 32;
    ASSERT_GE(fitting, 2) << "a screen with room for two steps";
    const struct {
        int steps;
        int offset;
    } cases[] = {{0, 0}, {1, 32}, {fitting, fitting * 32}, {fitting + 1, 32}, {-1, 0}};
    for (const auto& c : cases) {
        window->cascade(c.steps);
        EXPECT_EQ(window->geometry(), centred.translated(c.offset, c.offset)) << c.steps;
        EXPECT_TRUE(screen.contains(window->geometry())) << c.steps;
    }
}

}  // namespace
