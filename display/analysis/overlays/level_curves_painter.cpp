#include "display/analysis/overlays/level_curves_painter.h"

#include "display/analysis/overlays/phase_geometry.h"
#include "display/toolkit/palette.h"
#include "model/analysis/first_integral.h"
#include "model/analysis/lyapunov.h"

#include <QLineF>
#include <QPainter>
#include <QVector>

#include <cmath>
#include <functional>
#include <vector>

namespace {

// The segments of one level in one grid cell, corners a (top left), b (top right),
// c (bottom right), d (bottom left), each with its value; cut where a corner has none.
void contourCell(QVector<QLineF> &lines, double level, const QPointF corner[4], const double value[4])
{
    for (int i = 0; i < 4; ++i)
        if (!std::isfinite(value[i]))
            return;
    QPointF crossings[4];
    int found = 0;
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        const bool above = value[i] > level, nextAbove = value[j] > level;
        if (above == nextAbove)
            continue;
        const double t = (level - value[i]) / (value[j] - value[i]);
        crossings[found++] = corner[i] + (corner[j] - corner[i]) * t;
    }
    // Two crossings make one segment; four (a saddle of the grid) make two, paired around the cell.
    if (found == 2)
        lines.append(QLineF(crossings[0], crossings[1]));
    else if (found == 4) {
        lines.append(QLineF(crossings[0], crossings[1]));
        lines.append(QLineF(crossings[2], crossings[3]));
    }
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
    QVector<QLineF> lines;
    for (int r = 0; r + 1 < rows; ++r)
        for (int c = 0; c + 1 < columns; ++c) {
            const QPointF corner[4] = {{c * kLevelGrid, r * kLevelGrid}, {(c + 1) * kLevelGrid, r * kLevelGrid},
                                       {(c + 1) * kLevelGrid, (r + 1) * kLevelGrid}, {c * kLevelGrid, (r + 1) * kLevelGrid}};
            const std::size_t at = std::size_t(r) * columns + c;
            const double value[4] = {values[at], values[at + 1], values[at + columns + 1], values[at + columns]};
            for (double level : levels)
                contourCell(lines, level, corner, value);
        }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette::kLevelCurve.colour, 1, Qt::DashLine));
    painter.drawLines(lines);
    painter.restore();
}
