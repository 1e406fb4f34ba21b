#include "app/open_dialog.h"

#include "app/desktop.h"

QString ShowOpenDialog(Desktop& desktop, QWidget* owner, const QString& barFilter,
                       const QString& title, const QString& initialFolder) {
    const QString chosen =
        desktop.getOpenFileName(owner, title, initialFolder, NameFiltersFromBars(barFilter));
    return TrimAtNull(chosen);
}

QStringList NameFiltersFromBars(const QString& barFilter) {
    const QStringList parts = barFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QString patterns = parts[i + 1].trimmed();
        if (patterns.isEmpty()) {
            continue;
        }
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // The toolkit takes its patterns from the description's last parentheses, so a
        // description that already shows them would otherwise show them twice.
        const QString shown = QStringLiteral("(%1)").arg(patterns);
        filters << (description.endsWith(shown) ? description
                                                : description.trimmed() + QLatin1Char(' ') + shown);
    }
    return filters;
}

QString TrimAtNull(const QString& buffer) {
    const qsizetype nul = buffer.indexOf(QChar(u'\0'));
    const QString text = nul < 0 ? buffer : buffer.left(nul);
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' ')) {
        ++begin;
    }
    while (end > begin && text[end - 1] == QLatin1Char(' ')) {
        --end;
    }
    return text.mid(begin, end - begin);
}
