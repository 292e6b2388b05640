#include "display/analysis/overlays/separatrix_painter.h"

#include "display/analysis/overlays/overlay_style.h"
#include "display/analysis/overlays/phase_geometry.h"

#include <QLineF>
#include <QPainter>

#include <algorithm>

namespace {

// The part of the piece from a to b inside the rectangle, as the parameters t0 <= t1 of its
// ends along a + t (b - a) (Liang and Barsky's clipping); false when none of it is inside.
bool clipPiece(PlanePoint a, PlanePoint b, const PlaneRect &r, double &t0, double &t1)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {a.x - r.xMin, r.xMax - a.x, a.y - r.yMin, r.yMax - a.y};
    t0 = 0;
    t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1)
                return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0)
                return false;
            t1 = std::min(t1, t);
        }
    }
    return true;
}

// Points of a piece closer than this to the one kept before them add nothing to the drawing: near
// its saddle a branch is followed in steps far shorter than a pixel.
constexpr double kLeastSpacing = 0.25;   // logical pixels

// The piece without its points that lie within kLeastSpacing of the one kept before them; its
// first and last points are always kept.
QPolygonF thinned(const QPolygonF &piece)
{
    QPolygonF kept;
    kept.reserve(piece.size());
    for (qsizetype i = 0; i < piece.size(); ++i) {
        const bool end = i == 0 || i + 1 == piece.size();
        if (end || QLineF(kept.back(), piece[i]).length() >= kLeastSpacing)
            kept << piece[i];
    }
    return kept;
}

struct Kept {
    bool valid = false;
    Coefficients coefficients;
    std::vector<Separatrix> branches;
};

struct KeptDrawing {
    bool valid = false;
    Coefficients coefficients;
    double originX = 0, originY = 0, step = 0;
    QSizeF area;
    std::vector<DrawnSeparatrix> pieces;
};

} // namespace

const std::vector<Separatrix> &separatricesOf(const AnalysedSystem &system)
{
    thread_local Kept kept;
    if (!kept.valid || !(kept.coefficients == system.coefficients)) {
        kept.branches = separatrices(system.coefficients, system.equilibria);
        kept.coefficients = system.coefficients;
        kept.valid = true;
    }
    return kept.branches;
}

QPen separatrixPen(Separatrix::Kind kind)
{
    const bool stable = kind == Separatrix::Kind::Stable;
    QPen pen(stable ? overlay_style::kStableSeparatrix : overlay_style::kUnstableSeparatrix,
             overlay_style::kSeparatrixWidth);
    if (stable)
        pen.setDashPattern({overlay_style::kSeparatrixDash, overlay_style::kSeparatrixGap});
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

std::vector<QPolygonF> drawnPieces(const Separatrix &branch, const QSizeF &area, const plot_mapping::PlotMapping &m)
{
    const PlaneRect visible = phase_geometry::visibleRect(m, area, 1);
    const auto at = [&m](PlanePoint p) { return phase_geometry::pointAt(m, p.x, p.y); };
    std::vector<QPolygonF> pieces;
    bool open = false;   // the last piece ends where the next one would start
    for (std::size_t i = 1; i < branch.points.size(); ++i) {
        const PlanePoint a = branch.points[i - 1], b = branch.points[i];
        double t0 = 0, t1 = 1;
        if (!clipPiece(a, b, visible, t0, t1)) {
            open = false;
            continue;
        }
        const PlanePoint from{a.x + (b.x - a.x) * t0, a.y + (b.y - a.y) * t0};
        const PlanePoint to{a.x + (b.x - a.x) * t1, a.y + (b.y - a.y) * t1};
        if (!open || t0 > 0)
            pieces.push_back(QPolygonF{at(from)});
        pieces.back() << at(to);
        open = t1 == 1;
    }
    for (QPolygonF &piece : pieces)
        piece = thinned(piece);
    return pieces;
}

const std::vector<DrawnSeparatrix> &drawnSeparatrices(const AnalysedSystem &system, const QSizeF &area,
                                                      const plot_mapping::PlotMapping &m)
{
    thread_local KeptDrawing kept;
    const std::vector<Separatrix> &branches = separatricesOf(system);
    if (!kept.valid || !(kept.coefficients == system.coefficients) || kept.originX != m.phaseOriginX
        || kept.originY != m.phaseOriginY || kept.step != m.phaseStep || kept.area != area) {
        kept.pieces.clear();
        for (const Separatrix &branch : branches)
            for (QPolygonF &piece : drawnPieces(branch, area, m))
                kept.pieces.push_back({branch.kind, piece.boundingRect(), std::move(piece)});
        kept.valid = true;
        kept.coefficients = system.coefficients;
        kept.originX = m.phaseOriginX;
        kept.originY = m.phaseOriginY;
        kept.step = m.phaseStep;
        kept.area = area;
    }
    return kept.pieces;
}

bool separatrixDrawn(Separatrix::Kind kind, const AnalysedSystem &system, const QSizeF &area,
                     const plot_mapping::PlotMapping &m)
{
    const std::vector<DrawnSeparatrix> &pieces = drawnSeparatrices(system, area, m);
    return std::any_of(pieces.begin(), pieces.end(), [kind](const DrawnSeparatrix &piece) { return piece.kind == kind; });
}

int separatrixPointsIn(const QRectF &rect, const AnalysedSystem &system, const QSizeF &area,
                       const plot_mapping::PlotMapping &m)
{
    int count = 0;
    for (const DrawnSeparatrix &piece : drawnSeparatrices(system, area, m))
        if (rect.intersects(piece.bounds))
            count += int(std::count_if(piece.points.begin(), piece.points.end(),
                                       [&rect](QPointF p) { return rect.contains(p); }));
    return count;
}

void paintSeparatrices(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m,
                       const AnalysedSystem &system)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    for (const DrawnSeparatrix &piece : drawnSeparatrices(system, area, m)) {
        painter.setPen(separatrixPen(piece.kind));
        painter.drawPolyline(piece.points);
    }
    painter.restore();
}
