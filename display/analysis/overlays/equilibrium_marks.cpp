#include "display/analysis/overlays/equilibrium_marks.h"

#include "display/analysis/overlays/nullcline_painter.h"
#include "display/analysis/overlays/overlay_style.h"
#include "display/analysis/overlays/phase_geometry.h"

#include <QLineF>
#include <QPainter>
#include <QPolygonF>
#include <QRectF>

#include <cmath>
#include <algorithm>

namespace {

using overlay_style::kMarkRadius;

bool inArea(const QSizeF &area, QPointF p, double margin)
{
    return std::isfinite(p.x()) && std::isfinite(p.y()) && p.x() >= -margin && p.y() >= -margin
        && p.x() <= area.width() + margin && p.y() <= area.height() + margin;
}

void paintMark(QPainter &painter, QPointF c, EquilibriumType type)
{
    const QColor colour = overlay_style::kEquilibrium;
    const double r = kMarkRadius;
    painter.setPen(QPen(colour, 1.5));
    painter.setBrush(Qt::NoBrush);
    switch (type) {
    case EquilibriumType::StableNode:
    case EquilibriumType::StableDegenerateNode:
    case EquilibriumType::StableStarNode:
    case EquilibriumType::StableFocus:
        painter.setBrush(colour);
        painter.drawEllipse(c, r, r);
        break;
    case EquilibriumType::UnstableNode:
    case EquilibriumType::UnstableDegenerateNode:
    case EquilibriumType::UnstableStarNode:
    case EquilibriumType::UnstableFocus:
        painter.drawEllipse(c, r, r);
        break;
    case EquilibriumType::Saddle:
        painter.setPen(QPen(colour, 2));
        painter.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
        painter.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
        break;
    case EquilibriumType::Centre:
        painter.drawPolygon(QPolygonF({c + QPointF(0, -r - 1), c + QPointF(r + 1, 0), c + QPointF(0, r + 1),
                                       c + QPointF(-r - 1, 0)}));
        break;
    case EquilibriumType::NonHyperbolic:
    case EquilibriumType::Undetermined:
    case EquilibriumType::LineOfEquilibria:
    case EquilibriumType::PlaneOfEquilibria:
        painter.drawRect(QRectF(c - QPointF(r - 0.5, r - 0.5), c + QPointF(r - 0.5, r - 0.5)));
        break;
    }
}

// The pen of a line of equilibria: a broad translucent band.
QPen bandPen()
{
    QColor band = overlay_style::kEquilibrium;
    band.setAlpha(110);
    return QPen(band, 3);
}

double distanceToSegment(QPointF p, const QLineF &segment)
{
    const QPointF d = segment.p2() - segment.p1();
    const double lengthSquared = QPointF::dotProduct(d, d);
    double t = lengthSquared > 0 ? QPointF::dotProduct(p - segment.p1(), d) / lengthSquared : 0;
    t = std::clamp(t, 0.0, 1.0);
    return QLineF(p, segment.p1() + t * d).length();
}

} // namespace

void paintEquilibria(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m,
                     const std::vector<Equilibrium> &list)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(bandPen());
    for (const Equilibrium &e : list)
        if (e.shape == Equilibrium::Shape::Line)
            paintPhaseLine(painter, area, m, e.line);
    for (const Equilibrium &e : list) {
        if (e.shape != Equilibrium::Shape::Point)
            continue;
        const QPointF c = phase_geometry::dotCentreAt(m, e.x, e.y);
        if (inArea(area, c, kMarkRadius))
            paintMark(painter, c, e.type());
    }
    painter.restore();
}

bool equilibriumDrawn(const Equilibrium &equilibrium, const QSizeF &area, const plot_mapping::PlotMapping &m)
{
    switch (equilibrium.shape) {
    case Equilibrium::Shape::Point:
        return inArea(area, phase_geometry::dotCentreAt(m, equilibrium.x, equilibrium.y), kMarkRadius);
    case Equilibrium::Shape::Line:
        return clipToRect(equilibrium.line, phase_geometry::visibleRect(m, area, 1)).has_value();
    case Equilibrium::Shape::Plane:
        return false;
    }
    return false;
}

void paintEquilibriumSymbol(QPainter &painter, QPointF c, EquilibriumType type)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (type == EquilibriumType::LineOfEquilibria) {
        painter.setPen(bandPen());
        painter.drawLine(c - QPointF(kMarkRadius + 1, 0), c + QPointF(kMarkRadius + 1, 0));
    } else {
        paintMark(painter, c, type);
    }
    painter.restore();
}

const Equilibrium *equilibriumAt(const std::vector<Equilibrium> &list, const QSizeF &area, const plot_mapping::PlotMapping &m,
                                 QPointF pos)
{
    const Equilibrium *nearestPoint = nullptr;
    const Equilibrium *nearestLine = nullptr;
    double pointDistance = overlay_style::kMarkReach;
    double lineDistance = 3;
    for (const Equilibrium &e : list) {
        if (e.shape == Equilibrium::Shape::Point) {
            const QPointF c = phase_geometry::dotCentreAt(m, e.x, e.y);
            if (!inArea(area, c, kMarkRadius))
                continue;
            const double distance = QLineF(c, pos).length();
            if (distance <= pointDistance) {
                pointDistance = distance;
                nearestPoint = &e;
            }
        } else if (e.shape == Equilibrium::Shape::Line) {
            const auto segment = clipToRect(e.line, phase_geometry::visibleRect(m, area, 1));
            if (!segment)
                continue;
            const QLineF onScreen(phase_geometry::pointAt(m, segment->x1, segment->y1),
                                  phase_geometry::pointAt(m, segment->x2, segment->y2));
            const double distance = distanceToSegment(pos, onScreen);
            if (distance <= lineDistance) {
                lineDistance = distance;
                nearestLine = &e;
            }
        }
    }
    return nearestPoint ? nearestPoint : nearestLine;
}
