#include "app/qt_desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <limits>

#include "window/form_layout.h"
#include "window/message_lines.h"

namespace {

// A message box sized to its text alone cut a short message's ("Done") caption off: it gets
// room for the caption in a title bar's larger bold font, the icon and three title buttons,
// and never less than the narrowest box that reads well.
constexpr int kNarrowestMessage = 240;
constexpr int kTitleBarRoom = 160;

int MessageWidth(const QFont& font, const QString& caption) {
    QFont title = font;
    title.setBold(true);
    title.setPointSizeF(font.pointSizeF() * 1.25);
    return std::max(kNarrowestMessage,
                    QFontMetrics(title).horizontalAdvance(caption) + kTitleBarRoom);
}

// QMessageBox fixes its own size when shown; a spacer across its grid is the width it
// keeps to.
void KeepWidth(QMessageBox& box, int width) {
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
}

// What a message box takes beside its text: the icon, the margins and the spacing.
constexpr int kMessageChrome = 120;

// Gives `box` `text` with its long lines broken at their separators to fit about two thirds
// of `owner`'s screen, in the font of the box's text (left to itself, Qt breaks a long path
// where it pleases or runs it off the box's edge); returns the widest line's width.
int SetWrappedText(QMessageBox& box, const std::string& text, const QWidget* owner) {
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const auto* label = box.findChild<const QLabel*>(QStringLiteral("qt_msgbox_label"));
    const QFontMetrics metrics(label ? label->font() : box.font());
    const auto width = [&metrics](std::string_view piece) {
        return metrics.horizontalAdvance(QString::fromUtf8(piece));
    };
    const int limit =
        screen ? tamsel::MessageTextWidth(screen->availableGeometry().width(), kMessageChrome)
               : std::numeric_limits<int>::max();
    box.setText(QString::fromStdString(tamsel::WrapMessage(text, limit, width)));
    int widest = 0;
    for (const QString& line : box.text().split(QLatin1Char('\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    return widest;
}

// The owner gets the keys back: without a window manager nothing else would give them.
void ReturnTo(QWidget* owner) {
    if (owner) {
        owner->activateWindow();
    }
}

}  // namespace

void QtDesktop::ShowMessage(const std::string& text, tamsel::MessageIcon icon) {
    const auto boxIcon =
        icon == tamsel::MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::Information;
    const QString caption = QString::fromUtf8(tamsel::kApplicationTitle);
    QMessageBox box(boxIcon, caption, QString(), QMessageBox::Ok, owner_);
    // Messages carry paths typed by the user; they must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    const int widest = SetWrappedText(box, text, owner_);
    // As wide as the longest line, so that Qt's wrapping keeps the lines as they are.
    KeepWidth(box, std::max(MessageWidth(box.font(), caption), widest + kMessageChrome));
    box.exec();
    ReturnTo(owner_);
}

std::string QtDesktop::ShowOpenDialog(const tamsel::OpenDialogRequest& request) {
    // Qt reads each filter's patterns from the parentheses at the end of its name.
    QStringList nameFilters;
    for (const tamsel::FileFilter& filter : request.filters) {
        nameFilters << QString::fromStdString(tamsel::NameWithPatterns(filter));
    }
    QString selected = nameFilters.value(0);
    const QString initial =
        QDir::fromNativeSeparators(QString::fromStdString(request.initialFolder));
    const QString chosen =
        QFileDialog::getOpenFileName(owner_, QString::fromStdString(request.title), initial,
                                     nameFilters.join(QStringLiteral(";;")), &selected);
    ReturnTo(owner_);
    return chosen.toStdString();
}

void QtDesktop::OpenFolder(const std::string& folder) {
    // A relative folder would otherwise become a relative file URL, which desktops read
    // in different ways; anchor it at the current folder as a shell would.
    if (!folder.empty()) {
        const QString native = QDir::fromNativeSeparators(QString::fromStdString(folder));
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(native).absoluteFilePath()));
    }
}

void QtDesktop::OpenAddress(const std::string& address) {
    if (!address.empty()) {
        QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
    }
}
