#include "app/path_box.h"

PathBox::PathBox(int index, QWidget* parent) : QComboBox(parent), index_(index) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
}
