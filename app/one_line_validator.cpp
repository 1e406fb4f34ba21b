#include "app/one_line_validator.h"

#include "window/path_box_controller.h"

QValidator::State OneLineValidator::validate(QString& input, int& position) const {
    const tamsel::EditState typed{input.toStdString(), position, 0};
    const tamsel::EditState line = tamsel::PathBoxController::OneLine(typed);
    // Most texts hold no break; only a changed one is written back.
    if (line.text.size() != typed.text.size()) {
        input = QString::fromStdString(line.text);
        position = line.selStart;
    }
    return Acceptable;
}
