#include "app/one_line_validator.h"

#include "window/edit_state.h"

QValidator::State OneLineValidator::validate(QString& input, int& position) const {
    const tamsel::EditState typed{input.toStdString(), position, 0};
    const tamsel::EditState line = tamsel::WithoutLineBreaks(typed);
    // Most texts hold no break; only a changed one is written back.
    if (line.text.size() != typed.text.size()) {
        input = QString::fromStdString(line.text);
        position = line.selStart;
    }
    return Acceptable;
}
