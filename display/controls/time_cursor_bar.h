#pragma once

#include <QScrollBar>

// The horizontal scroll bar of the time cursor. The arrow keys move it the way they point:
// Qt's scroll bar inverts its controls so that the wheel scrolls naturally, which on a
// horizontal bar also turns Left and Right around. A click in the trough, PageUp and PageDown
// move kPageSamples samples, as the time plots' keys do, while the page step stays 1 so that
// the thumb keeps its size.
class TimeCursorBar : public QScrollBar {
    Q_OBJECT

public:
    static constexpr int kPageSamples = 10;

    explicit TimeCursorBar(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // The style draws no focus mark on a scroll bar: a frame in the focus colour shows it.
    void paintEvent(QPaintEvent *event) override;
};
