#include "app/auto_complete.h"

#include <string>

#include <QLineEdit>

#include <gtest/gtest.h>

#include "test_support/temp_folder.h"

namespace {

class AutoCompleteTest : public ::testing::Test {
  protected:
    AutoCompleteTest() {
        temp.write("Links.xml", "x");
        temp.write("List.txt", "x");
    }
    QString base() const { return QString::fromStdString(temp.folder()); }
    // Puts `text` into the edit with the caret at its end, then runs a completion.
    int complete(const QString& text, int keyCode, int shift = 0) {
        edit.setText(text);
        edit.setCursorPosition(text.size());
        AutoComplete(edit, keyCode, shift);
        return keyCode;
    }
    tamsel::test::TempFolder temp;
    QLineEdit edit;
};

TEST_F(AutoCompleteTest, PlainTextBoxCompletesToTheFirstMatch) {
    EXPECT_EQ(complete(base() + "li", 73), 0);
    EXPECT_EQ(edit.text(), base() + "Links.xml");
    EXPECT_EQ(edit.selectedText(), "nks.xml");
    EXPECT_EQ(edit.cursorPosition(), base().size() + 2);
}

TEST_F(AutoCompleteTest, KeysAndGuardsThatStopItLeaveKeyCodeAlone) {
    struct Case {
        const char* what;
        int keyCode;
        int shift;
    };
    const Case cases[] = {{"arrow down", 40, 0},      {"digit with Shift", 49, 1},
                          {"digit with Ctrl", 50, 2}, {"keypad digit", 97, 0},
                          {"minus", 189, 0},          {"F2", 113, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(complete(base() + "Li", c.keyCode, c.shift), c.keyCode) << c.what;
        EXPECT_EQ(edit.text(), base() + "Li") << c.what;
    }
    edit.setText(base() + "Li");
    edit.setCursorPosition(2);
    int keyCode = 76;
    AutoComplete(edit, keyCode, 0);
    EXPECT_EQ(keyCode, 76) << "caret inside the text";
    EXPECT_EQ(complete("/t", 84), 84) << "two characters";
}

TEST_F(AutoCompleteTest, AttemptWithoutMatchStillClearsKeyCode) {
    EXPECT_EQ(complete(base() + "zz", 90), 0);
    EXPECT_EQ(edit.text(), base() + "zz");
    EXPECT_EQ(edit.cursorPosition(), edit.text().size());
    EXPECT_FALSE(edit.hasSelectedText());
}

TEST_F(AutoCompleteTest, CompletesUpTo249CharactersNot250) {
    for (int length : {249, 250}) {
        const QString typed = base() + QString(length - base().size(), QChar('n'));
        temp.write(typed.mid(base().size()).toStdString() + "x.txt", "x");
        complete(typed, 78);
        EXPECT_EQ(edit.text() != typed, length == 249) << length;
    }
}

TEST_F(AutoCompleteTest, SuggestionShorterThanAWildcardTextPutsTheCaretAtTheEnd) {
    temp.write("w/Lx", "x");
    complete(base() + "w/L*x*", 88);
    EXPECT_EQ(edit.text(), base() + "w/Lx");
    EXPECT_EQ(edit.cursorPosition(), edit.text().size());
    EXPECT_FALSE(edit.hasSelectedText());
}

}  // namespace
