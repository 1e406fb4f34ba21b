#pragma once

// The open-file dialog as the window's browse command uses it: filters written as
// "description|pattern|description|pattern", turned into the toolkit's filter list.

#include <QString>
#include <QStringList>

class Desktop;
class QWidget;

// Shows `desktop`'s open-file dialog owned by `owner`, titled `title`, listing the files
// that `barFilter` allows (the first pair selected) and opening at `initialFolder` (a file
// path there preselects that file). Returns the chosen path, or an empty string when the
// user cancelled. `barFilter` is only read.
QString ShowOpenDialog(Desktop& desktop, QWidget* owner, const QString& barFilter,
                       const QString& title, const QString& initialFolder);

// The toolkit's filter list for a "description|pattern|..." filter: one entry per pair, in
// order, each "description (patterns)" with the pattern's ";" separators as blanks. A
// description that already ends in its pattern in parentheses is kept as it is. A trailing
// "|" is optional; a description without a pattern is dropped.
QStringList NameFiltersFromBars(const QString& barFilter);

// The text before the first NUL character of `buffer` (the whole buffer when it holds
// none), without the blanks (U+0020) at both ends; other white space stays.
QString TrimAtNull(const QString& buffer);
