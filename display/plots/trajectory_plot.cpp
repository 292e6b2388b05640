#include "display/plots/trajectory_plot.h"

#include "display/plots/plot_mapping.h"
#include "display/plots/twips.h"
#include "display/toolkit/palette.h"
#include "model/model.h"

#include <QLineF>
#include <QPainter>

#include <cmath>

namespace {

using namespace plot_mapping;

// PSet with a position that may have no single-precision form: such a point is not drawn.
void plot(PlotCanvas &canvas, double x, double y)
{
    const auto sx = toSingle(x);
    const auto sy = toSingle(y);
    if (sx && sy)
        canvas.PSet(*sx, *sy);
}

void lineTo(PlotCanvas &canvas, double x1, double y1, double x2, double y2)
{
    const auto a = toSingle(x1), b = toSingle(y1), c = toSingle(x2), d = toSingle(y2);
    if (a && b && c && d)
        canvas.line(*a, *b, *c, *d);
}

// Where sample k of a trajectory stands in each plot, in twips.
struct Positions {
    double phaseX, phaseY, time, xValue, yValue;
};

Positions positionsOf(const PlotMapping &m, const SampleArray<double> &xs, const SampleArray<double> &ys, int k)
{
    return {m.phaseX(xs(k)), m.phaseY(ys(k)), m.timeX(k), m.xValueY(xs(k)), m.yValueY(ys(k))};
}

void plotSample(const PlotMapping &m, const Model &model, int k, PlotCanvas &phasePlane, PlotCanvas &xPlot, PlotCanvas &yPlot)
{
    const Positions p = positionsOf(m, model.xs, model.ys, k);
    plot(phasePlane, p.phaseX, p.phaseY);
    plot(xPlot, p.time, p.xValue);
    plot(yPlot, p.time, p.yValue);
}

// Lines between consecutive valid samples, never across an invalid one.
template <typename Join>
void forEachJoint(const SampleArray<bool> &ok, Join join)
{
    for (int k = kFirstSample; k < kLastSample; ++k)
        if (ok(k) && ok(k + 1))
            join(k, k + 1);
}

void joinSamples(const PlotMapping &m, const Model &model, PlotCanvas &phasePlane, PlotCanvas &xPlot, PlotCanvas &yPlot)
{
    forEachJoint(model.ok, [&](int a, int b) {
        const Positions p = positionsOf(m, model.xs, model.ys, a), q = positionsOf(m, model.xs, model.ys, b);
        lineTo(phasePlane, p.phaseX, p.phaseY, q.phaseX, q.phaseY);
        lineTo(xPlot, p.time, p.xValue, q.time, q.xValue);
        lineTo(yPlot, p.time, p.yValue, q.time, q.yValue);
    });
}

// The point of a plot's kind in twips.
std::pair<double, double> pointIn(PlotKind plot, const Positions &p)
{
    switch (plot) {
    case PlotKind::PhasePlane: return {p.phaseX, p.phaseY};
    case PlotKind::XAgainstTime: return {p.time, p.xValue};
    case PlotKind::YAgainstTime: return {p.time, p.yValue};
    }
    return {0, 0};
}

// The time cursor's dot on every kept trajectory; with `near`, only those that a ring around
// the current trajectory's dot at those positions may have covered.
void drawKeptCursors(const PlotScene &scene, PlotCanvas &phasePlane, PlotCanvas &xPlot, PlotCanvas &yPlot,
                     const Positions *near)
{
    const int c = scene.cursor;
    if (!scene.kept || scene.kept->empty() || !SampleArray<bool>::contains(c))
        return;
    PlotCanvas *const canvases[] = {&phasePlane, &xPlot, &yPlot};
    for (PlotCanvas *canvas : canvases) {
        canvas->setInk(palette::keptCursor());
        canvas->setDrawWidth(kKeptCursorWidth);
    }
    const double reach = (kCursorHaloWidth + kKeptCursorWidth) / 2.0 * kTwipsPerPixel;
    const auto nearBy = [near, reach](double x1, double y1, double x2, double y2) {
        return !near || (std::fabs(x1 - x2) <= reach && std::fabs(y1 - y2) <= reach);
    };
    for (const Trajectory &kept : *scene.kept) {
        if (!kept.ok(c))
            continue;
        const Positions p = positionsOf(scene.mapping, kept.xs, kept.ys, c);
        if (nearBy(p.phaseX, p.phaseY, near ? near->phaseX : 0, near ? near->phaseY : 0))
            plot(phasePlane, p.phaseX, p.phaseY);
        if (nearBy(p.time, p.xValue, near ? near->time : 0, near ? near->xValue : 0))
            plot(xPlot, p.time, p.xValue);
        if (nearBy(p.time, p.yValue, near ? near->time : 0, near ? near->yValue : 0))
            plot(yPlot, p.time, p.yValue);
    }
    for (PlotCanvas *canvas : canvases) {
        canvas->setInk(QColor());
        canvas->setDrawWidth(1);
    }
}

// The turning points' triangles; one that would fall within kMarkMerge pixels of a triangle
// of its kind already drawn in the same plot is left out, so that close marks do not blur.
void drawTurningPoints(const PlotMapping &m, const Model &model, const std::vector<TurningPoint> &points, PlotCanvas &phasePlane,
                       PlotCanvas &xPlot, PlotCanvas &yPlot)
{
    struct Drawn {
        const PlotCanvas *canvas;
        PlotCanvas::Mark kind;
        QPointF at;   // logical pixels
    };
    std::vector<Drawn> drawn;
    const auto markOnce = [&drawn](PlotCanvas &canvas, PlotCanvas::Mark kind, double x, double y) {
        const auto sx = toSingle(x), sy = toSingle(y);
        if (!sx || !sy)
            return;
        const QPointF at = pixelCellOf(*sx, *sy);
        for (const Drawn &d : drawn)
            if (d.canvas == &canvas && d.kind == kind && QLineF(d.at, at).length() <= kMarkMerge)
                return;
        drawn.push_back({&canvas, kind, at});
        canvas.setInk(turningPointColour(kind));
        canvas.mark(kind, *sx, *sy);
    };
    for (const TurningPoint &point : points) {
        const PlotCanvas::Mark kind =
            point.kind == TurningPoint::Kind::Maximum ? PlotCanvas::Mark::Maximum : PlotCanvas::Mark::Minimum;
        const bool ofX = point.variable == TurningPoint::Variable::X;
        const Positions p = positionsOf(m, model.xs, model.ys, point.sample);
        markOnce(phasePlane, kind, p.phaseX, p.phaseY);
        markOnce(ofX ? xPlot : yPlot, kind, p.time, ofX ? p.xValue : p.yValue);
    }
    for (PlotCanvas *canvas : {&phasePlane, &xPlot, &yPlot})
        canvas->setInk(QColor());
}

} // namespace

void drawPlots(const PlotScene &scene, PlotCanvas &phasePlane, PlotCanvas &xPlot, PlotCanvas &yPlot)
{
    const Model &model = *scene.current;
    const PlotMapping &m = scene.mapping;
    const int c = scene.cursor;
    PlotCanvas *const canvases[] = {&phasePlane, &xPlot, &yPlot};
    for (PlotCanvas *canvas : canvases)
        canvas->Cls();

    if (scene.joinSamples)
        joinSamples(m, model, phasePlane, xPlot, yPlot);

    drawKeptCursors(scene, phasePlane, xPlot, yPlot, nullptr);

    for (int k = kFirstSample; k < c; ++k)
        if (model.ok(k))
            plotSample(m, model, k, phasePlane, xPlot, yPlot);

    if (SampleArray<bool>::contains(c) && model.ok(c)) {
        for (PlotCanvas *canvas : canvases)
            canvas->setDrawWidth(3);
        plotSample(m, model, c, phasePlane, xPlot, yPlot);
        for (PlotCanvas *canvas : canvases)
            canvas->setDrawWidth(1);
    }

    for (int k = c + 1; k <= kLastSample; ++k)
        if (model.ok(k))
            plotSample(m, model, k, phasePlane, xPlot, yPlot);

    // Over the joining lines the cursor's sample would be a dot on a line of its own colour:
    // it is drawn again, larger, inside a ring of the base colour.
    if (scene.joinSamples && SampleArray<bool>::contains(c) && model.ok(c)) {
        for (PlotCanvas *canvas : canvases) {
            canvas->setInk(canvas->baseColour());
            canvas->setDrawWidth(kCursorHaloWidth);
        }
        plotSample(m, model, c, phasePlane, xPlot, yPlot);
        for (PlotCanvas *canvas : canvases)
            canvas->setDrawWidth(1);
        // The kept trajectories' dots that the ring covered come back over it.
        const Positions ringed = positionsOf(m, model.xs, model.ys, c);
        drawKeptCursors(scene, phasePlane, xPlot, yPlot, &ringed);
        for (PlotCanvas *canvas : canvases) {
            canvas->setInk(QColor());
            canvas->setDrawWidth(kJoinedCursorWidth);
        }
        plotSample(m, model, c, phasePlane, xPlot, yPlot);
        for (PlotCanvas *canvas : canvases)
            canvas->setDrawWidth(1);
    }

    if (scene.turningPoints)
        drawTurningPoints(m, model, *scene.turningPoints, phasePlane, xPlot, yPlot);
}

void paintKeptTrajectories(QPainter &painter, const PlotMapping &m, PlotKind plot, const std::deque<Trajectory> &kept,
                           bool join)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor colour = keptTrajectoryColour();
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
        const Trajectory &t = *it;
        if (join)
            forEachJoint(t.ok, [&](int a, int b) {
                const auto [x1, y1] = pointIn(plot, positionsOf(m, t.xs, t.ys, a));
                const auto [x2, y2] = pointIn(plot, positionsOf(m, t.xs, t.ys, b));
                const auto sx1 = toSingle(x1), sy1 = toSingle(y1), sx2 = toSingle(x2), sy2 = toSingle(y2);
                if (sx1 && sy1 && sx2 && sy2)
                    paintLine(painter, colour, *sx1, *sy1, *sx2, *sy2);
            });
        for (int k = kFirstSample; k <= kLastSample; ++k) {
            if (!t.ok(k))
                continue;
            const auto [x, y] = pointIn(plot, positionsOf(m, t.xs, t.ys, k));
            const auto sx = toSingle(x), sy = toSingle(y);
            if (!sx || !sy || std::fabs(*sx) > 1e6f || std::fabs(*sy) > 1e6f)
                continue;
            painter.fillRect(QRectF(pixelCellOf(*sx, *sy), QSizeF(1, 1)), colour);
        }
    }
    painter.restore();
}

QColor keptTrajectoryColour()
{
    return palette::kKept.colour;
}

QColor turningPointColour(PlotCanvas::Mark kind)
{
    return (kind == PlotCanvas::Mark::Maximum ? palette::kMaximum : palette::kMinimum).colour;
}
