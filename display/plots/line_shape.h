#pragma once

#include <QPoint>
#include <QPointF>
#include <QWidget>

// A thin straight line laid over a plot's drawing area. It covers the whole drawing area,
// lets every mouse event through to the plot and is never touched by the plot's Cls.
class LineShape : public QWidget {
    Q_OBJECT

public:
    // The end points are twips in the drawing area of the parent plot.
    LineShape(QPoint fromTwips, QPoint toTwips, QWidget *plot);

    // Where it lies now, to the nearest twip.
    QPoint from() const { return from_.toPoint(); }
    QPoint to() const { return to_.toPoint(); }
    // Moves it, as the view of its plot moves.
    void setEnds(QPointF fromTwips, QPointF toTwips);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointF from_;
    QPointF to_;
};
