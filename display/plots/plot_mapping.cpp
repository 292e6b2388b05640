#include "display/plots/plot_mapping.h"

namespace plot_mapping {

double PlotMapping::pressedPhaseX(double start, double extent) const
{
    return phaseX(tidiestIn(phaseUnitsX(start), phaseUnitsX(start + extent)));
}

double PlotMapping::pressedPhaseY(double start, double extent) const
{
    // y falls as the position grows: the tidiest of -y over the pixel.
    return phaseY(-tidiestIn((start - phaseOriginY) / phaseStep, (start + extent - phaseOriginY) / phaseStep));
}

PlotMapping mappingFor(const PlaneView &view, double growth, double timeStretch)
{
    const PlaneView designed;
    PlotMapping m;
    m.growth = growth;
    m.timeStretch = timeStretch;
    const double side = kPhaseSideTwips * growth;
    m.phaseStep = side / view.side;
    m.phaseOriginX = -(m.phaseStep * view.left);
    m.phaseOriginY = side + m.phaseStep * view.bottom;
    // The time plots' value axes zoom and move as the phase plane's do, about the designed
    // view's corner.
    const double step = kValueTwipsPerUnit * growth * (designed.side / view.side);
    m.xValues = {growth * (kValueOrigin - kValueTwipsPerUnit * designed.left) + step * view.left, step};
    m.yValues = {growth * (kValueOrigin - kValueTwipsPerUnit * designed.bottom) + step * view.bottom, step};
    m.times = {kTimeOrigin * growth * timeStretch, kTimeTwipsPerSample * growth * timeStretch};
    return m;
}

} // namespace plot_mapping
