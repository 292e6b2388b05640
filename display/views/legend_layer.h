#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class QFrame;
class QPainter;
class QSizeF;

// A transparent layer over a plot's drawing area that paints over the plot's points: the axis
// titles and the legend. Like the axis lines, it lets every mouse event through to the plot, never
// takes the focus and is never touched by the plot's Cls. It follows the drawing area's size.
class LegendLayer : public QWidget {
    Q_OBJECT

public:
    // The painter draws in logical pixels of the drawing area, whose size it is given.
    using Painter = std::function<void(QPainter &painter, const QSizeF &area)>;
    LegendLayer(QFrame &plot, Painter painter);

    // What it shows changed: painted again at the next paint. Between two changes the layer
    // copies what it painted, so that the time cursor's steps, which repaint the plot under it,
    // do not work out the legend again.
    void invalidate();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QFrame &plot_;
    Painter painter_;
    QImage kept_;
    bool stale_ = true;
};
