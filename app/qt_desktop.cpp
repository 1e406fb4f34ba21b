#include "app/qt_desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>

#include "window/form_layout.h"

void QtDesktop::ShowMessage(const std::string& text, tamsel::MessageIcon icon) {
    const auto boxIcon =
        icon == tamsel::MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::Information;
    const QString caption = QString::fromUtf8(
        tamsel::kApplicationTitle.data(), static_cast<qsizetype>(tamsel::kApplicationTitle.size()));
    QMessageBox box(boxIcon, caption, QString::fromStdString(text), QMessageBox::Ok, owner_);
    // Messages carry paths typed by the user; they must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
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
    return QFileDialog::getOpenFileName(owner_, QString::fromStdString(request.title), initial,
                                        nameFilters.join(QStringLiteral(";;")), &selected)
        .toStdString();
}

void QtDesktop::OpenFolder(const std::string& folder) {
    // A relative folder would otherwise become a relative file URL, which desktops read
    // in different ways; anchor it at the current folder as a shell would.
    if (folder.empty()) {
        return;
    }
    const QString native = QDir::fromNativeSeparators(QString::fromStdString(folder));
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(native).absoluteFilePath()));
}

void QtDesktop::OpenAddress(const std::string& address) {
    if (address.empty()) {
        return;
    }
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}
