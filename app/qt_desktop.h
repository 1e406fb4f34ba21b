#pragma once

#include "app/desktop.h"

// The desktop services of the running program, built on Qt's message box, file dialog
// and desktop services.
class QtDesktop : public Desktop {
  public:
    void showMessage(QWidget* owner, const QString& text, tamsel::MessageIcon icon) override;
    QString getOpenFileName(QWidget* owner, const QString& title, const QString& initialPath,
                            const QStringList& nameFilters) override;
    void openPath(const QString& folder) override;
    void openUrl(const QString& address) override;
};
