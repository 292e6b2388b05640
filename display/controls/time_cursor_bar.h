#pragma once

#include <QScrollBar>

// The horizontal scroll bar of the time cursor. The arrow keys move it the way they point:
// Qt's scroll bar inverts its controls so that the wheel scrolls naturally, which on a
// horizontal bar also turns Left and Right around.
class TimeCursorBar : public QScrollBar {
    Q_OBJECT

public:
    explicit TimeCursorBar(QWidget *parent = nullptr) : QScrollBar(Qt::Horizontal, parent) {}

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // The style draws no focus mark on a scroll bar: a frame in the focus colour shows it.
    void paintEvent(QPaintEvent *event) override;
};
