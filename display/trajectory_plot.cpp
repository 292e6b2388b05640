#include "trajectory_plot.h"

#include "model.h"
#include "plot_mapping.h"
#include "plot_surface.h"

namespace {

using namespace plot_mapping;

// PSet with a position that may have no single-precision form: such a point is not drawn.
void plot(PlotSurface &surface, double x, double y)
{
    const auto sx = toSingle(x);
    const auto sy = toSingle(y);
    if (sx && sy)
        surface.PSet(*sx, *sy);
}

void plotSample(const Model &model, int k, PlotSurface &phasePlane, PlotSurface &xPlot,
                PlotSurface &yPlot)
{
    plot(phasePlane, phaseX(model.xs(k)), phaseY(model.ys(k)));
    plot(xPlot, timeX(k), valueY(model.xs(k)));
    plot(yPlot, timeX(k), valueY(model.ys(k)));
}

} // namespace

void drawTrajectory(const Model &model, int c, PlotSurface &phasePlane, PlotSurface &xPlot,
                    PlotSurface &yPlot)
{
    PlotSurface *const surfaces[] = {&phasePlane, &xPlot, &yPlot};
    for (PlotSurface *surface : surfaces)
        surface->Cls();

    for (int k = kFirstSample; k < c; ++k)
        if (model.ok(k))
            plotSample(model, k, phasePlane, xPlot, yPlot);

    if (SampleArray<bool>::contains(c) && model.ok(c)) {
        for (PlotSurface *surface : surfaces)
            surface->setDrawWidth(3);
        plotSample(model, c, phasePlane, xPlot, yPlot);
        for (PlotSurface *surface : surfaces)
            surface->setDrawWidth(1);
    }

    for (int k = c + 1; k <= kLastSample; ++k)
        if (model.ok(k))
            plotSample(model, k, phasePlane, xPlot, yPlot);
}
