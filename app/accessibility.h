#pragma once

class QWidget;

// Names the form's controls for screen readers: each path box by its label (also its buddy),
// each "..." button by what it browses for, the start button by its caption, and the credit
// line as a link a reader can follow. `form` must hold its controls already.
void NameForScreenReaders(QWidget* form);
