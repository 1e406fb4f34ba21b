#pragma once

#include <QComboBox>

// One of the window's two path boxes: an editable combo box whose drop-down list is
// filled by path completion. `index` is 0 for the link list, 1 for the menu file.
class PathBox : public QComboBox {
    Q_OBJECT

public:
    explicit PathBox(int index, QWidget* parent = nullptr);

    int index() const { return index_; }

signals:
    // F2 pressed in the box: show the box's open-file dialog.
    void browseRequested(int index);
    // Enter released in the box: open the folder of the box's path.
    void openFolderRequested(int index);

private:
    int index_;
};
