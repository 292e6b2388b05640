#pragma once

#include <QPoint>
#include <QWidget>

// A thin straight line laid over a plot's drawing area. It covers the whole drawing area,
// lets every mouse event through to the plot and is never touched by the plot's Cls.
class LineShape : public QWidget {
    Q_OBJECT

public:
    // The end points are twips in the drawing area of the parent plot.
    LineShape(QPoint fromTwips, QPoint toTwips, QWidget *plot);

    QPoint from() const { return from_; }
    QPoint to() const { return to_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPoint from_;
    QPoint to_;
};
