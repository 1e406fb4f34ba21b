#include "app/qt_desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

void QtDesktop::showMessage(QWidget* owner, const QString& text, tamsel::MessageIcon icon) {
    const auto boxIcon =
        icon == tamsel::MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::Information;
    QMessageBox box(boxIcon, QStringLiteral("Tamsel"), text, QMessageBox::Ok, owner);
    // Messages carry paths typed by the user; they must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString QtDesktop::getOpenFileName(QWidget* owner, const QString& title, const QString& initialPath,
                                   const QStringList& nameFilters) {
    const QString filter = nameFilters.join(QStringLiteral(";;"));
    QString selected = nameFilters.value(0);
    return QFileDialog::getOpenFileName(owner, title, QDir::fromNativeSeparators(initialPath),
                                        filter, &selected);
}

void QtDesktop::openPath(const QString& folder) {
    // A relative folder would otherwise become a relative file URL, which desktops read
    // in different ways; anchor it at the current folder as a shell would.
    if (folder.isEmpty()) {
        return;
    }
    const QString absolute = QFileInfo(QDir::fromNativeSeparators(folder)).absoluteFilePath();
    QDesktopServices::openUrl(QUrl::fromLocalFile(absolute));
}

void QtDesktop::openUrl(const QString& address) {
    if (address.isEmpty()) {
        return;
    }
    QDesktopServices::openUrl(QUrl(address));
}
