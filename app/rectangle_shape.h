#pragma once

#include <QColor>
#include <QWidget>

// A filled rectangle with a one-pixel border line along its edges; takes no input.
class RectangleShape : public QWidget {
  public:
    RectangleShape(QColor fill, QColor line, QWidget* parent = nullptr);

    QColor fill() const { return fill_; }
    QColor line() const { return line_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor fill_;
    QColor line_;
};
