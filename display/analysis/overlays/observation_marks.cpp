#include "display/analysis/overlays/observation_marks.h"

#include "display/plots/twips.h"
#include "display/toolkit/palette.h"

#include <QPainter>
#include <QPolygonF>

#include <cmath>
#include <optional>
#include <vector>

namespace {

// Positions farther out than this many pixels are far outside any drawing area: never drawn,
// so that a painter is never handed a coordinate it would overflow.
constexpr double kFarOut = 1e6;

std::optional<QPointF> drawable(double twipsX, double twipsY)
{
    const QPointF p(twipsX / kTwipsPerPixel, twipsY / kTwipsPerPixel);
    if (!std::isfinite(p.x()) || !std::isfinite(p.y()) || std::fabs(p.x()) > kFarOut || std::fabs(p.y()) > kFarOut)
        return std::nullopt;
    return p;
}

void paintCircles(QPainter &painter, const std::vector<QPointF> &centres)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(palette::kObservation.colour, 1));
    painter.setBrush(Qt::NoBrush);
    for (const QPointF &centre : centres)
        painter.drawEllipse(centre, kObservationRadius, kObservationRadius);
    painter.restore();
}

} // namespace

void paintObservationCircle(QPainter &painter, QPointF centre)
{
    paintCircles(painter, {centre});
}

void paintObservations(QPainter &painter, const plot_mapping::PlotMapping &m, PlotKind plot, const Observations &series,
                       double dt)
{
    std::vector<QPointF> centres;
    centres.reserve(series.size());
    if (plot == PlotKind::PhasePlane) {
        for (std::size_t i = 0; i < series.size(); ++i)
            if (series.xs[i] && series.ys[i])
                if (const auto p = drawable(m.phaseX(*series.xs[i]), m.phaseY(*series.ys[i])))
                    centres.push_back(*p);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, true);
        QPen dotted(palette::kObservation.colour, 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.drawPolyline(QPolygonF(QList<QPointF>(centres.begin(), centres.end())));
        painter.restore();
    } else if (dt > 0) {
        const bool x = plot == PlotKind::XAgainstTime;
        const plot_mapping::ValueAxis &values = x ? m.xValues : m.yValues;
        const std::vector<std::optional<double>> &observed = x ? series.xs : series.ys;
        for (std::size_t i = 0; i < series.size(); ++i)
            if (observed[i])
                if (const auto p = drawable(m.times.x(series.times[i] / dt), values.y(*observed[i])))
                    centres.push_back(*p);
    }
    paintCircles(painter, centres);
}
