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

PlotMapping mappingFor(const PlaneView &view)
{
    const PlaneView designed;
    PlotMapping m;
    m.phaseStep = kPhaseSideTwips / view.side;
    m.phaseOriginX = -(m.phaseStep * view.left);
    m.phaseOriginY = kPhaseSideTwips + m.phaseStep * view.bottom;
    // The time plots' value axes zoom and move as the phase plane's do, about the designed
    // view's corner.
    const double step = kValueTwipsPerUnit * (designed.side / view.side);
    m.xValues = {(kValueOrigin - kValueTwipsPerUnit * designed.left) + step * view.left, step};
    m.yValues = {(kValueOrigin - kValueTwipsPerUnit * designed.bottom) + step * view.bottom, step};
    return m;
}

} // namespace plot_mapping
