// Files dropped on the window: the drag's events reach the form's decision and its answer
// reaches the boxes and the drag (the decision itself is tested in tests/window).

#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include "app/form_main.h"
#include "fake_desktop.h"
#include "test_support/temp_folder.h"

namespace {

struct DropCase {
    const char* what;
    std::vector<const char*> files;  // under the temp folder; a trailing "/" makes a folder
    const char* over;                // object name of the control under the pointer
    Qt::DropActions actions;
    const char* box;  // the box that takes the drop; nullptr: refused
};

void PrintTo(const DropCase& c, std::ostream* out) {
    *out << c.what;
}

class FormDrop : public ::testing::TestWithParam<DropCase> {
  protected:
    tamsel::test::TempFolder folder;
    FakeDesktop desktop;
};

TEST_P(FormDrop, GoesToTheChosenBoxOrIsRefusedWhileDragging) {
    const DropCase& c = GetParam();
    FormMain window(desktop, folder.root().string());
    QMimeData data;
    QList<QUrl> urls;
    for (const char* file : c.files) {
        std::string name = file;
        if (name.ends_with('/')) {
            std::filesystem::create_directories(folder.path(name));
            name.pop_back();
        } else {
            folder.write(name, "x");
        }
        urls.append(QUrl::fromLocalFile(QString::fromStdString(folder.path(name))));
    }
    data.setUrls(urls);
    const QWidget* over = window.findChild<QWidget*>(c.over);
    ASSERT_NE(over, nullptr);
    const QPoint at = over->geometry().center();
    // The edit fields leave drops to the form, which would otherwise insert the address.
    for (const QLineEdit* edit : window.findChildren<QLineEdit*>()) {
        EXPECT_FALSE(edit->acceptDrops());
    }

    QDragEnterEvent enter(at, c.actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    EXPECT_EQ(enter.isAccepted(), c.box != nullptr);
    QDropEvent drop(at, c.actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    EXPECT_EQ(drop.isAccepted(), c.box != nullptr);
    if (c.box) {
        EXPECT_NE(drop.dropAction(), Qt::MoveAction);
    }

    for (const char* name : {"txtFile0", "txtFile1"}) {
        const std::string text = window.findChild<QComboBox*>(name)->currentText().toStdString();
        const bool takes = c.box && std::string_view(c.box) == name;
        EXPECT_EQ(text, takes ? folder.path(c.files.front()) : "") << name;
    }
}

constexpr auto kCopy = Qt::CopyAction | Qt::MoveAction;

INSTANTIATE_TEST_SUITE_P(
    Cases, FormDrop,
    ::testing::Values(
        DropCase{"list onto the menu box", {"a.txt"}, "txtFile1", kCopy, "txtFile1"},
        DropCase{"menu onto the start button", {"LINKS.xml"}, "btnStart", kCopy, "txtFile1"},
        DropCase{"list onto a label", {"a.txt"}, "lblFile1", Qt::LinkAction, "txtFile0"},
        DropCase{"a folder", {"d/"}, "txtFile0", kCopy, nullptr},
        DropCase{"two files", {"a.txt", "b.txt"}, "txtFile0", kCopy, nullptr},
        DropCase{"a move only", {"a.txt"}, "txtFile0", Qt::MoveAction, nullptr}));

}  // namespace
