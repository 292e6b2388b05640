#pragma once

#include <QPen>
#include <QPointF>
#include <QPolygonF>

class QPainter;

// A polyline cut to the rows [top, bottom] of a panel by the drawing itself, not by a clip
// region, which not every destination (an SVG file) keeps. Each piece inside is drawn as soon
// as it ends, with the pen in force along it.
class PanelPolyline {
public:
    PanelPolyline(QPainter &painter, double top, double bottom) : painter_(painter), top_(top), bottom_(bottom) {}
    ~PanelPolyline() { flush(); }
    PanelPolyline(const PanelPolyline &) = delete;
    PanelPolyline &operator=(const PanelPolyline &) = delete;

    // The pen of the segments that follow, the one into the next point included.
    void setPen(const QPen &pen);
    void lineTo(QPointF point);
    // The next point starts a new line.
    void breakLine();

private:
    bool inside(double y) const { return y >= top_ && y <= bottom_; }
    void addSegment(QPointF p, QPointF q);
    void flush();

    QPainter &painter_;
    double top_, bottom_;
    QPen pen_;
    QPolygonF piece_;
    QPointF previous_;
    bool hasPrevious_ = false;
};
