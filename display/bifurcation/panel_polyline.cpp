#include "display/bifurcation/panel_polyline.h"

#include <QPainter>

#include <algorithm>

namespace {

// Where the segment from p to q crosses the row y.
QPointF crossing(QPointF p, QPointF q, double y)
{
    return {p.x() + (q.x() - p.x()) * (y - p.y()) / (q.y() - p.y()), y};
}

} // namespace

void PanelPolyline::setPen(const QPen &pen)
{
    flush();
    pen_ = pen;
    if (hasPrevious_ && inside(previous_.y()))
        piece_ << previous_;
}

void PanelPolyline::lineTo(QPointF point)
{
    if (hasPrevious_)
        addSegment(previous_, point);
    else if (inside(point.y()))
        piece_ << point;
    previous_ = point;
    hasPrevious_ = true;
}

void PanelPolyline::breakLine()
{
    flush();
    hasPrevious_ = false;
}

void PanelPolyline::addSegment(QPointF p, QPointF q)
{
    const double low = std::min(p.y(), q.y()), high = std::max(p.y(), q.y());
    if (high < top_ || low > bottom_)
        return;
    const QPointF start = inside(p.y()) ? p : crossing(p, q, p.y() < top_ ? top_ : bottom_);
    const QPointF end = inside(q.y()) ? q : crossing(p, q, q.y() < top_ ? top_ : bottom_);
    if (piece_.isEmpty() || piece_.last() != start) {
        flush();
        piece_ << start;
    }
    piece_ << end;
    if (end != q)
        flush();
}

void PanelPolyline::flush()
{
    if (piece_.size() >= 2) {
        painter_.setPen(pen_);
        painter_.drawPolyline(piece_);
    }
    piece_.clear();
}
