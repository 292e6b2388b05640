#include "trajectory_plot.h"

#include "model.h"
#include "plot_mapping.h"
#include "twips.h"

#include <QPainter>

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

Positions positionsOf(const SampleArray<double> &xs, const SampleArray<double> &ys, int k)
{
    return {phaseX(xs(k)), phaseY(ys(k)), double(timeX(k)), valueY(xs(k)), valueY(ys(k))};
}

void plotSample(const Model &model, int k, PlotCanvas &phasePlane, PlotCanvas &xPlot, PlotCanvas &yPlot)
{
    const Positions p = positionsOf(model.xs, model.ys, k);
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

void joinSamples(const Model &model, PlotCanvas &phasePlane, PlotCanvas &xPlot, PlotCanvas &yPlot)
{
    forEachJoint(model.ok, [&](int a, int b) {
        const Positions p = positionsOf(model.xs, model.ys, a), q = positionsOf(model.xs, model.ys, b);
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

} // namespace

void drawTrajectory(const Model &model, int c, PlotCanvas &phasePlane, PlotCanvas &xPlot, PlotCanvas &yPlot)
{
    PlotScene scene;
    scene.current = &model;
    scene.cursor = c;
    drawPlots(scene, phasePlane, xPlot, yPlot);
}

void drawPlots(const PlotScene &scene, PlotCanvas &phasePlane, PlotCanvas &xPlot, PlotCanvas &yPlot)
{
    const Model &model = *scene.current;
    const int c = scene.cursor;
    PlotCanvas *const canvases[] = {&phasePlane, &xPlot, &yPlot};
    for (PlotCanvas *canvas : canvases)
        canvas->Cls();

    if (scene.joinSamples)
        joinSamples(model, phasePlane, xPlot, yPlot);

    // The time cursor on every kept trajectory: a dot smaller than the current one's.
    if (scene.kept && !scene.kept->empty() && SampleArray<bool>::contains(c)) {
        for (PlotCanvas *canvas : canvases) {
            canvas->setInk(keptTrajectoryColour().darker(130));
            canvas->setDrawWidth(2);
        }
        for (const Trajectory &kept : *scene.kept)
            if (kept.ok(c)) {
                const Positions p = positionsOf(kept.xs, kept.ys, c);
                plot(phasePlane, p.phaseX, p.phaseY);
                plot(xPlot, p.time, p.xValue);
                plot(yPlot, p.time, p.yValue);
            }
        for (PlotCanvas *canvas : canvases) {
            canvas->setInk(QColor());
            canvas->setDrawWidth(1);
        }
    }

    for (int k = kFirstSample; k < c; ++k)
        if (model.ok(k))
            plotSample(model, k, phasePlane, xPlot, yPlot);

    if (SampleArray<bool>::contains(c) && model.ok(c)) {
        for (PlotCanvas *canvas : canvases)
            canvas->setDrawWidth(3);
        plotSample(model, c, phasePlane, xPlot, yPlot);
        for (PlotCanvas *canvas : canvases)
            canvas->setDrawWidth(1);
    }

    for (int k = c + 1; k <= kLastSample; ++k)
        if (model.ok(k))
            plotSample(model, k, phasePlane, xPlot, yPlot);

    if (scene.turningPoints) {
        for (const TurningPoint &point : *scene.turningPoints) {
            const PlotCanvas::Mark kind =
                point.kind == TurningPoint::Kind::Maximum ? PlotCanvas::Mark::Maximum : PlotCanvas::Mark::Minimum;
            PlotCanvas &timePlot = point.variable == TurningPoint::Variable::X ? xPlot : yPlot;
            const Positions p = positionsOf(model.xs, model.ys, point.sample);
            for (PlotCanvas *canvas : {&phasePlane, &timePlot})
                canvas->setInk(turningPointColour(kind));
            const auto sx = toSingle(p.phaseX), sy = toSingle(p.phaseY);
            if (sx && sy)
                phasePlane.mark(kind, *sx, *sy);
            const auto tx = toSingle(p.time), ty = toSingle(point.variable == TurningPoint::Variable::X ? p.xValue : p.yValue);
            if (tx && ty)
                timePlot.mark(kind, *tx, *ty);
        }
        for (PlotCanvas *canvas : canvases)
            canvas->setInk(QColor());
    }
}

void paintKeptTrajectories(QPainter &painter, PlotKind plot, const std::deque<Trajectory> &kept, bool join)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor colour = keptTrajectoryColour();
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
        const Trajectory &t = *it;
        if (join)
            forEachJoint(t.ok, [&](int a, int b) {
                const auto [x1, y1] = pointIn(plot, positionsOf(t.xs, t.ys, a));
                const auto [x2, y2] = pointIn(plot, positionsOf(t.xs, t.ys, b));
                const auto sx1 = toSingle(x1), sy1 = toSingle(y1), sx2 = toSingle(x2), sy2 = toSingle(y2);
                if (sx1 && sy1 && sx2 && sy2)
                    paintLine(painter, colour, *sx1, *sy1, *sx2, *sy2);
            });
        for (int k = kFirstSample; k <= kLastSample; ++k) {
            if (!t.ok(k))
                continue;
            const auto [x, y] = pointIn(plot, positionsOf(t.xs, t.ys, k));
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
    return QColor(150, 170, 210);
}

QColor turningPointColour(PlotCanvas::Mark kind)
{
    return kind == PlotCanvas::Mark::Maximum ? QColor(200, 0, 0) : QColor(0, 120, 0);
}
