#include "app/program_folder.h"

#include <QDir>
#include <QUrl>

std::string AppFolderOf(const QString& directory) {
    const QString canonical = QDir(directory).canonicalPath();
    QString folder = QDir::toNativeSeparators(canonical.isEmpty() ? directory : canonical);
    if (!folder.endsWith(QDir::separator())) {
        folder += QDir::separator();
    }
    return folder.toStdString();
}

QString CreditAddress(const QString& homepage, const std::string& appFolder) {
    if (!homepage.isEmpty()) {
        return homepage;
    }
    const QString readme = QString::fromStdString(appFolder) + QStringLiteral("README.md");
    return QUrl::fromLocalFile(QDir::fromNativeSeparators(readme)).toString();
}
