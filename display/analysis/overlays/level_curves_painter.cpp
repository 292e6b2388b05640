#include "display/analysis/overlays/level_curves_painter.h"

#include "display/analysis/overlays/phase_geometry.h"
#include "display/toolkit/palette.h"
#include "model/analysis/first_integral.h"
#include "model/analysis/lyapunov.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <unordered_map>
#include <vector>

namespace {

// Where a level crosses one edge of the grid, the edge named by its number.
struct Crossing {
    long long edge = 0;
    QPointF at;
};

struct Piece {
    Crossing ends[2];
};

// The segments of one level in one grid cell, corners a (top left), b (top right),
// c (bottom right), d (bottom left), each with its value, edge i running from corner i to the
// next; cut where a corner has none.
void contourCell(std::vector<Piece> &segments, double level, const QPointF corner[4], const double value[4],
                 const long long edge[4])
{
    for (int i = 0; i < 4; ++i)
        if (!std::isfinite(value[i]))
            return;
    Crossing crossings[4];
    int found = 0;
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        const bool above = value[i] > level, nextAbove = value[j] > level;
        if (above == nextAbove)
            continue;
        const double t = (level - value[i]) / (value[j] - value[i]);
        crossings[found++] = {edge[i], corner[i] + (corner[j] - corner[i]) * t};
    }
    // Two crossings make one segment; four (a saddle of the grid) make two, paired around the cell.
    if (found == 2)
        segments.push_back({{crossings[0], crossings[1]}});
    else if (found == 4) {
        segments.push_back({{crossings[0], crossings[1]}});
        segments.push_back({{crossings[2], crossings[3]}});
    }
}

// The segments joined where they share a grid edge, so that a dashed pen runs its pattern along
// each curve instead of starting it again every cell. Each segment is taken once.
std::vector<QPolygonF> joined(const std::vector<Piece> &segments)
{
    std::unordered_map<long long, std::vector<std::size_t>> touching;
    for (std::size_t i = 0; i < segments.size(); ++i)
        for (const Crossing &end : segments[i].ends)
            touching[end.edge].push_back(i);
    std::vector<bool> used(segments.size(), false);
    std::vector<QPolygonF> lines;
    for (std::size_t first = 0; first < segments.size(); ++first) {
        if (used[first])
            continue;
        used[first] = true;
        std::deque<QPointF> line{segments[first].ends[0].at, segments[first].ends[1].at};
        // Onwards from the second end, then back from the first.
        for (int side : {1, 0}) {
            long long edge = segments[first].ends[side].edge;
            for (;;) {
                const std::vector<std::size_t> &next = touching[edge];
                const auto unused = std::find_if(next.begin(), next.end(), [&used](std::size_t i) { return !used[i]; });
                if (unused == next.end())
                    break;
                used[*unused] = true;
                const Piece &s = segments[*unused];
                const Crossing &far = s.ends[0].edge == edge ? s.ends[1] : s.ends[0];
                if (side == 1)
                    line.push_back(far.at);
                else
                    line.push_front(far.at);
                edge = far.edge;
            }
        }
        lines.emplace_back(QList<QPointF>(line.begin(), line.end()));
    }
    return lines;
}

} // namespace

void paintLevelCurves(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m,
                      const Coefficients &k, double x0, double y0)
{
    std::function<double(double, double)> f;
    double centre = 0;
    bool haveCentre = false;
    if (hasFirstIntegral(k)) {
        f = [k](double x, double y) { return firstIntegral(k, x, y); };
        if (k.E != 0 && k.C != 0 && -k.D / k.E > 0 && -k.A / k.C > 0) {
            centre = f(-k.D / k.E, -k.A / k.C);
            haveCentre = std::isfinite(centre);
        }
    } else if (const std::optional<LyapunovFunction> v = gohLyapunovFunction(k)) {
        f = [v = *v](double x, double y) { return x > 0 && y > 0 ? v(x, y) : NAN; };
        haveCentre = true;
    } else {
        return;
    }
    const double start = f(x0, y0);
    if (!std::isfinite(start))
        return;
    std::vector<double> levels{start};
    if (haveCentre && start != centre)
        for (int i : {1, 2, 3, 5, 6, 7, 8})
            levels.push_back(centre + (start - centre) * i / 4.0);

    const int columns = int(std::ceil(area.width() / kLevelGrid)) + 1;
    const int rows = int(std::ceil(area.height() / kLevelGrid)) + 1;
    std::vector<double> values(std::size_t(columns) * rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            values[std::size_t(r) * columns + c] =
                f(phase_geometry::xAt(m, c * kLevelGrid), phase_geometry::yAt(m, r * kLevelGrid));
    // Edge 2 n runs right from grid point n, edge 2 n + 1 down from it.
    std::vector<QPolygonF> lines;
    for (double level : levels) {
        std::vector<Piece> segments;
        for (int r = 0; r + 1 < rows; ++r)
            for (int c = 0; c + 1 < columns; ++c) {
                const QPointF corner[4] = {{c * kLevelGrid, r * kLevelGrid}, {(c + 1) * kLevelGrid, r * kLevelGrid},
                                           {(c + 1) * kLevelGrid, (r + 1) * kLevelGrid}, {c * kLevelGrid, (r + 1) * kLevelGrid}};
                const std::size_t at = std::size_t(r) * columns + c;
                const double value[4] = {values[at], values[at + 1], values[at + columns + 1], values[at + columns]};
                const long long point = static_cast<long long>(at);
                const long long edge[4] = {2 * point, 2 * (point + 1) + 1, 2 * (point + columns), 2 * point + 1};
                contourCell(segments, level, corner, value, edge);
            }
        for (QPolygonF &line : joined(segments))
            lines.push_back(std::move(line));
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette::kLevelCurve.colour, 1, Qt::DashLine));
    for (const QPolygonF &line : lines)
        painter.drawPolyline(line);
    painter.restore();
}
