#include "app/one_line_validator.h"

namespace {

bool IsLineBreak(QChar c) {
    return c == u'\n' || c == u'\r' || c == QChar(0x85) || c == QChar(0x2028) || c == QChar(0x2029);
}

}  // namespace

void DropLineBreaks(QString& text, int& position) {
    qsizetype kept = 0;
    int before = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (IsLineBreak(text[i])) {
            before += i < position ? 1 : 0;
        } else {
            text[kept++] = text[i];
        }
    }
    text.truncate(kept);
    position -= before;
}

QValidator::State OneLineValidator::validate(QString& input, int& position) const {
    DropLineBreaks(input, position);
    return Acceptable;
}
