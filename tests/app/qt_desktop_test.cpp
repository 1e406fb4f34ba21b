// The real desktop's modal dialogs, answered from a timer so that no test blocks.

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>
#include <functional>

#include "app/qt_desktop.h"
#include "qt_printers.h"
#include "test_support/temp_folder.h"

namespace {

// Runs `answer` on the next modal dialog as soon as it is open.
void WhenModalOpens(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start();
}

TEST(QtDesktop, MessageBoxHasCaptionIconPlainTextAndRoomForTheCaption) {
    const struct {
        tamsel::MessageIcon icon;
        QMessageBox::Icon shown;
    } cases[] = {{tamsel::MessageIcon::Information, QMessageBox::Information},
                 {tamsel::MessageIcon::Exclamation, QMessageBox::Warning}};
    for (const auto& c : cases) {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        Qt::TextFormat format = Qt::RichText;
        WhenModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            format = box->textFormat();
            box->button(QMessageBox::Ok)->click();
        });
        QtDesktop().ShowMessage("Missing <b>/x/</b>network.png", c.icon);
        EXPECT_EQ(title, "Tamsel");
        EXPECT_EQ(text, "Missing <b>/x/</b>network.png");
        EXPECT_EQ(icon, c.shown);
        EXPECT_EQ(format, Qt::PlainText);
    }
    // The shortest message still leaves the title bar room for the caption.
    int width = 0;
    WhenModalOpens([&](QWidget* modal) {
        width = modal->width();
        modal->close();
    });
    QtDesktop().ShowMessage("Done", tamsel::MessageIcon::Information);
    EXPECT_GE(width, 240);
}

TEST(QtDesktop, OpenDialogPreselectsTheFileAndAppliesTheFirstFilter) {
    tamsel::test::TempFolder folder;
    folder.write("url.txt", "x");
    const QString path = QString::fromStdString(folder.path("url.txt"));
    QString title;
    QStringList filters;
    QString selectedFilter;
    QStringList selected;
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        selectedFilter = dialog->selectedNameFilter();
        selected = dialog->selectedFiles();
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        dialog->reject();
    });
    const tamsel::OpenDialogRequest request{
        "Open File with URLs",
        "",
        {{"Text File (*.txt)", "*.txt"}, {"Firefox Bookmarks", "*.html;*.htm"}},
        path.toStdString()};
    const std::string chosen = QtDesktop().ShowOpenDialog(request);
    EXPECT_EQ(chosen, "");
    EXPECT_EQ(title, "Open File with URLs");
    EXPECT_EQ(filters, QStringList({"Text File (*.txt)", "Firefox Bookmarks (*.html *.htm)"}));
    EXPECT_EQ(selectedFilter, "Text File (*.txt)");
    EXPECT_EQ(selected, QStringList{path});
}

// Receives what QDesktopServices would hand to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT

  public:
    QList<QUrl> urls;

  public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST(QtDesktop, FoldersOpenAsAbsoluteFileUrlsAndEmptyTargetsOpenNothing) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    QDesktopServices::setUrlHandler("https", &catcher, "open");
    QtDesktop desktop;
    desktop.OpenFolder("/menu/FEATURES/");
    desktop.OpenFolder("relative/");
    desktop.OpenFolder("");
    desktop.OpenAddress("");
    desktop.OpenAddress("https://example.org/tamsel");
    QDesktopServices::unsetUrlHandler("file");
    QDesktopServices::unsetUrlHandler("https");
    ASSERT_EQ(catcher.urls.size(), 3);
    EXPECT_EQ(catcher.urls[0].toString(), "file:///menu/FEATURES/");
    EXPECT_EQ(catcher.urls[1].toString(), "file://" + QDir::currentPath() + "/relative/");
    EXPECT_EQ(catcher.urls[2].toString(), "https://example.org/tamsel");
}

}  // namespace

#include "qt_desktop_test.moc"
