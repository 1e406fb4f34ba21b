#pragma once

// Keeps an edit field to one line, whichever way text comes in: typing, pasting, dropping or
// setting it from code.

#include <QValidator>

// A validator that accepts every text once its line breaks are dropped (see
// tamsel::WithoutLineBreaks): a path copied from a terminal with its line break pastes as
// the path alone.
class OneLineValidator : public QValidator {
    Q_OBJECT

  public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override;
};
