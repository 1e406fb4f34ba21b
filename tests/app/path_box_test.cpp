#include "app/path_box.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QShortcut>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include "fake_desktop.h"
#include "qt_printers.h"
#include "test_support/temp_folder.h"

namespace {

// The window's side of the commands, which these boxes do not need.
class NoForm : public tamsel::FormView {
  public:
    std::string BoxText(tamsel::RunInput) const override { return {}; }
    void SetBoxText(tamsel::RunInput, const std::string&) override {}
    void FocusBox(tamsel::RunInput) override {}
    void CloseWindow() override {}
    // No Folder row.
    void SetFolderRows(const std::vector<std::string>&, int) override {}
    int ChosenFolderRow() const override { return 0; }
    void EnableFolderRow(bool) override {}
};

// A small window like the real one: a plain field, then the two path boxes in tab order.
class PathBoxTest : public ::testing::Test {
  protected:
    PathBoxTest() {
        temp.write("Links.xml", "x");
        temp.write("List.txt", "x");
        auto* layout = new QVBoxLayout(&window);
        field = new QLineEdit(&window);
        box0 = new PathBox(tamsel::RunInput::List, commands, &window);
        box1 = new PathBox(tamsel::RunInput::Menu, commands, &window);
        for (QWidget* widget : {static_cast<QWidget*>(field), static_cast<QWidget*>(box0),
                                static_cast<QWidget*>(box1)}) {
            layout->addWidget(widget);
        }
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QString base() const { return QString::fromStdString(temp.folder()); }

    // Focus in `box`, `text` in it with the caret at the end, and a list holding only a
    // marker, which any completion attempt replaces.
    void start(PathBox* box, const QString& text) {
        box->setFocus(Qt::OtherFocusReason);
        static_cast<CompletionModel*>(box->model())->setEntries({"", {"marker"}});
        box->setEditText(text);
        box->lineEdit()->setCursorPosition(text.size());
    }

    // Keys go to the window as the platform delivers them, so an open list sees them first.
    void click(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window.windowHandle(), key, modifiers);
    }
    void type(const char* keys) {
        for (; *keys != '\0'; ++keys) {
            QTest::keyClick(window.windowHandle(), *keys);
        }
    }

    static QStringList entries(const QComboBox* box) {
        QStringList items;
        for (int i = 0; i < box->count(); ++i) {
            items << box->itemText(i);
        }
        return items;
    }
    static int selStart(const PathBox* box) {
        const QLineEdit* edit = box->lineEdit();
        return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    }
    static bool untouched(const PathBox* box) { return entries(box) == QStringList{"marker"}; }

    tamsel::test::TempFolder temp;
    NoForm form;
    FakeDesktop desktop;
    tamsel::FormCommands commands{form, desktop};
    QWidget window;
    QLineEdit* field;
    PathBox* box0;
    PathBox* box1;
};

TEST_F(PathBoxTest, TypingCompletesAndSelectsTheAddedCharacters) {
    struct Row {
        char key;
        QStringList list;
        const char* text;
        int selStart;
        int selLength;
    };
    const Row rows[] = {
        {'L', {"Links.xml", "List.txt"}, "Links.xml", 1, 8},
        {'i', {"Links.xml", "List.txt"}, "Links.xml", 2, 7},
        {'s', {"List.txt"}, "List.txt", 3, 5},
        {'t', {"List.txt"}, "List.txt", 4, 4},
    };
    start(box1, base());
    for (const Row& row : rows) {
        type(QByteArray(1, row.key).constData());
        QStringList list;
        for (const QString& name : row.list) {
            list << base() + name;
        }
        EXPECT_EQ(entries(box1), list) << row.key;
        EXPECT_EQ(box1->currentText(), base() + row.text) << row.key;
        EXPECT_EQ(selStart(box1), base().size() + row.selStart) << row.key;
        EXPECT_EQ(box1->lineEdit()->selectedText().size(), row.selLength) << row.key;
        EXPECT_EQ(box1->lineEdit()->cursorPosition(), base().size() + row.selStart) << row.key;
        EXPECT_TRUE(box1->completionList()->isVisible()) << row.key;
    }
    EXPECT_TRUE(window.updatesEnabled());
}

TEST_F(PathBoxTest, TypingInAnyCaseTakesTheNameAsTheFileSystemWritesIt) {
    temp.write("Ünï cödé.txt", "x");
    temp.write("ΣΟΦΊΑ.txt", "x");
    const struct {
        const char* typed;
        const char* key;
        const char* text;
    } rows[] = {
        {"l", "i", "Links.xml"},
        {"ünï ", "c", "Ünï cödé.txt"},
        {"ÜNÏ CÖ", "D", "Ünï cödé.txt"},
        {"σοφία", ".", "ΣΟΦΊΑ.txt"},
    };
    for (const auto& row : rows) {
        start(box0, base() + QString::fromUtf8(row.typed));
        type(row.key);
        EXPECT_EQ(box0->currentText(), base() + QString::fromUtf8(row.text)) << row.typed;
    }
}

TEST_F(PathBoxTest, OnlyLettersDigitsPeriodAndSeparatorsStartACompletion) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool completes;
    };
    const Case cases[] = {
        {Qt::Key_Backspace, Qt::NoModifier, false}, {Qt::Key_Delete, Qt::NoModifier, false},
        {Qt::Key_Left, Qt::NoModifier, false},      {Qt::Key_Right, Qt::NoModifier, false},
        {Qt::Key_Space, Qt::NoModifier, false},     {Qt::Key_Minus, Qt::NoModifier, false},
        {Qt::Key_1, Qt::KeypadModifier, false},     {Qt::Key_1, Qt::ShiftModifier, false},
        {Qt::Key_2, Qt::ControlModifier, false},    {Qt::Key_3, Qt::AltModifier, false},
        {Qt::Key_F2, Qt::NoModifier, false},        {Qt::Key_Return, Qt::NoModifier, false},
        {Qt::Key_1, Qt::NoModifier, true},          {Qt::Key_Period, Qt::NoModifier, true},
        {Qt::Key_X, Qt::ShiftModifier, true},       {Qt::Key_X, Qt::AltModifier, true},
        {Qt::Key_Backslash, Qt::NoModifier, true},  {Qt::Key_Slash, Qt::NoModifier, true},
    };
    for (const Case& c : cases) {
        start(box1, base() + "Lis");
        click(c.key, c.modifiers);
        EXPECT_EQ(!untouched(box1), c.completes) << "key " << std::hex << c.key;
    }
}

TEST_F(PathBoxTest, RepeatedReleasesOfAHeldKeyStartNoCompletion) {
    start(box0, base() + "Lis");
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_S, Qt::NoModifier, "s", true);
    QApplication::sendEvent(box0, &repeat);
    EXPECT_TRUE(untouched(box0));
}

TEST_F(PathBoxTest, ThreeCharactersListTheRootTwoDoNot) {
    start(box0, "/");
    type("t");
    EXPECT_TRUE(untouched(box0));
    type("m");
    EXPECT_TRUE(entries(box0).contains("/tmp"));
    EXPECT_EQ(box0->currentText(), box0->itemText(0));
}

TEST_F(PathBoxTest, EnteringABoxSelectsItsWholeText) {
    box0->setEditText("/first/path");
    box1->setEditText("/second/path");
    field->setFocus();
    click(Qt::Key_Tab);
    EXPECT_TRUE(box0->hasFocus());
    EXPECT_EQ(box0->lineEdit()->selectedText(), "/first/path");
    click(Qt::Key_Tab);
    EXPECT_TRUE(box1->hasFocus());
    EXPECT_EQ(box1->lineEdit()->selectedText(), "/second/path");

    field->setFocus();
    const QPoint middle = box0->lineEdit()->rect().center();
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                      box0->lineEdit()->mapTo(&window, middle));
    EXPECT_TRUE(box0->hasFocus());
    EXPECT_TRUE(QTest::qWaitFor([&] { return box0->lineEdit()->selectedText() == "/first/path"; }));
}

TEST_F(PathBoxTest, ReturningToTheWindowKeepsTheCaret) {
    start(box0, "/some/path");
    box0->lineEdit()->setCursorPosition(3);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_TRUE(box0->hasFocus());
    EXPECT_FALSE(box0->lineEdit()->hasSelectedText());
    EXPECT_EQ(box0->lineEdit()->cursorPosition(), 3);
}

TEST_F(PathBoxTest, F2AsksOnlyForItsOwnBoxAndEnterIsLeftToTheWindow) {
    for (PathBox* box : {box0, box1}) {
        desktop.calls.clear();
        start(box, base() + "Li");
        click(Qt::Key_F2);
        ASSERT_EQ(desktop.calls.size(), 1U);
        EXPECT_EQ(desktop.calls[0].text, box == box0 ? "Open File with URLs" : "Open Links.xml");
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::ShiftModifier);
            QApplication::sendEvent(box, &press);
            EXPECT_FALSE(press.isAccepted());
        }
        EXPECT_TRUE(untouched(box));
    }
}

// The separator key accepts a completion only when the selection is the tail a completion
// adds; any other selection is replaced by the separator, as by any character.
TEST_F(PathBoxTest, SeparatorKeyAppendsOnlyToACompletionTail) {
    const QString path = "/opt/a/url.txt";
    const struct {
        int selStart;
        int selLength;
        bool appends;
    } rows[] = {
        {0, 14, false},  // the whole text, as entering the box selects it
        {7, 7, true},    // the tail behind the typed part
        {0, 7, false},   // a head
        {4, 3, false},   // the middle
        {14, 0, true},   // nothing selected, caret at the end
    };
    for (const auto& row : rows) {
        for (const QString separator : {"/", "\\"}) {
            start(box0, path);
            box0->lineEdit()->setSelection(row.selStart, row.selLength);
            click(separator == "/" ? Qt::Key_Slash : Qt::Key_Backslash);
            const QString expected = row.appends ? path + separator
                                                 : path.left(row.selStart) + separator +
                                                       path.mid(row.selStart + row.selLength);
            EXPECT_EQ(box0->currentText(), expected) << row.selStart << "+" << row.selLength;
        }
    }
}

// A path box's text changes only by typing, pasting, browsing or picking from its list.
TEST_F(PathBoxTest, WheelLeavesTheTextAndPastedLineBreaksAreDropped) {
    start(box1, "/some/path");
    static_cast<CompletionModel*>(box1->model())->setEntries({"", {"marker", "/other/entry"}});
    box1->setEditText("/some/path");
    field->setFocus();
    for (int delta : {120, -120, -120}) {
        QWheelEvent wheel(QPointF(5, 5), box1->mapToGlobal(QPointF(5, 5)), {}, {0, delta},
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(box1, &wheel);
    }
    EXPECT_EQ(box1->currentText(), "/some/path");

    for (const QString& copied : {base() + "Li\n", "\r\n" + base() + "L\ri\r\n"}) {
        QApplication::clipboard()->setText(copied);
        start(box0, "");
        click(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box0->currentText(), base() + "Links.xml");
        EXPECT_EQ(box0->lineEdit()->selectedText(), "nks.xml");
    }
}

TEST_F(PathBoxTest, TypingGoesOnInTheEditFieldWhileTheListIsOpen) {
    start(box0, base());
    type("L");
    ASSERT_TRUE(box0->completionList()->isVisible());
    EXPECT_TRUE(box0->hasFocus());
    type("is");
    EXPECT_EQ(box0->currentText(), base() + "List.txt");
    EXPECT_EQ(box0->lineEdit()->selectedText(), "t.txt");
    click(Qt::Key_Backspace);
    EXPECT_EQ(box0->currentText(), base() + "Lis");
    EXPECT_FALSE(box0->completionList()->currentIndex().isValid());
}

TEST_F(PathBoxTest, EscClosesTheListAndReachesNothingElse) {
    int escapes = 0;
    QShortcut shortcut(Qt::Key_Escape, &window);
    shortcut.setContext(Qt::ApplicationShortcut);
    QObject::connect(&shortcut, &QShortcut::activated, [&] { ++escapes; });
    start(box0, base());
    type("L");
    ASSERT_TRUE(box0->completionList()->isVisible());
    click(Qt::Key_Escape);
    EXPECT_FALSE(box0->completionList()->isVisible());
    EXPECT_EQ(escapes, 0);
    EXPECT_EQ(box0->currentText(), base() + "Links.xml");
    click(Qt::Key_Escape);
    EXPECT_EQ(escapes, 1);
}

TEST_F(PathBoxTest, ArrowsAndClicksPutAnEntryIntoTheBox) {
    start(box0, base());
    type("L");
    QListView* list = box0->completionList();
    click(Qt::Key_Down);
    click(Qt::Key_Down);
    EXPECT_EQ(box0->currentText(), base() + "List.txt");
    click(Qt::Key_Up);
    EXPECT_EQ(box0->currentText(), base() + "Links.xml");
    const QRect second = list->visualRect(list->model()->index(1, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(box0->currentText(), base() + "List.txt");
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(box0->hasFocus());
}

}  // namespace
