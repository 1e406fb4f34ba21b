#pragma once

class QWidget;

// Names the form's controls for screen readers, which read the names and not the look: each
// path box by its label (the label is also the box's buddy), each "..." button by what it
// browses for, the start button by its caption, and the credit line as a link that a
// reader can follow. `form` must hold its controls already.
void NameForScreenReaders(QWidget* form);
