#pragma once

#include "state/plane_view.h"

#include <cfloat>
#include <cmath>
#include <optional>

// Where a sample stands in each plot, in twips of the plot's drawing area. Positions are
// computed in double precision, the multiplication first.
namespace plot_mapping {

// The designed view: the phase plane at kPhaseTwipsPerUnit twips per unit on both axes, the
// origin at (kPhaseOriginX, kPhaseOriginY); its drawing area spans kPhaseSideTwips. The time
// plots: sample k at 2060 + 20 k whatever the time step, 170 twips per unit upwards from the
// value 0 at 1700.
inline constexpr int kPhaseOriginX = 150;
inline constexpr int kPhaseOriginY = 4100;
inline constexpr int kPhaseTwipsPerUnit = 400;
inline constexpr int kPhaseSideTwips = 4300;
inline constexpr int kValueOrigin = 1700;
inline constexpr int kValueTwipsPerUnit = 170;

inline constexpr int kTimeOrigin = 2060;
inline constexpr int kTimeTwipsPerSample = 20;

inline int timeX(int k) { return kTimeOrigin + kTimeTwipsPerSample * k; }

// A time plot's time axis: sample k stands at origin + step * k twips.
struct TimeAxis {
    double origin = kTimeOrigin;
    double step = kTimeTwipsPerSample;

    double x(double k) const { return origin + step * k; }
    double sampleAt(double twipsX) const { return (twipsX - origin) / step; }
};

// A time plot's value axis: the value v stands at origin - step * v twips.
struct ValueAxis {
    double origin = kValueOrigin;
    double step = kValueTwipsPerUnit;

    double y(double value) const { return origin - step * value; }
    double valueAt(double twipsY) const { return (origin - twipsY) / step; }
};

// Where the plots put a point of the plane for one view, and its inverse. Every position is
// an origin plus (or, upwards, minus) a step times the value, the multiplication first, so
// that the designed view's positions are the designed ones to the last bit.
struct PlotMapping {
    double phaseOriginX = kPhaseOriginX;
    double phaseOriginY = kPhaseOriginY;
    double phaseStep = kPhaseTwipsPerUnit;
    // The time plots' value axes: x(t) follows the phase plane's horizontal axis, y(t) its
    // vertical one.
    ValueAxis xValues;
    ValueAxis yValues;
    TimeAxis times;
    // How much larger than designed the plots are drawn: positions are twips of the grown
    // drawing areas.
    double growth = 1;
    // How much wider than the phase plane's growth the time plots are: their time axis stretches.
    double timeStretch = 1;

    double phaseX(double x) const { return phaseOriginX + phaseStep * x; }
    double phaseY(double y) const { return phaseOriginY - phaseStep * y; }
    double timeX(int k) const { return times.x(k); }
    double xValueY(double value) const { return xValues.y(value); }
    double yValueY(double value) const { return yValues.y(value); }

    // The inverse, in double precision: the point of the phase plane at a position in twips.
    double phaseUnitsX(double twipsX) const { return (twipsX - phaseOriginX) / phaseStep; }
    double phaseUnitsY(double twipsY) const { return (phaseOriginY - twipsY) / phaseStep; }

    // The inverse as a press gives it: the offsets from the axis lines subtracted in single
    // precision, then divided in double precision and rounded to a float.
    float twipsRightOfYAxis(float twipsX) const { return twipsX - static_cast<float>(phaseOriginX); }
    float twipsAboveXAxis(float twipsY) const { return static_cast<float>(phaseOriginY) - twipsY; }
    float phaseUnitsOfOffset(float offsetTwips) const
    {
        return static_cast<float>(static_cast<double>(offsetTwips) / phaseStep);
    }

    // A press covers a whole screen pixel, from `start` twips on for `extent` twips, and every
    // point in it is as good as any other. The press is taken at the point of the phase plane
    // whose value is tidiest, so that a press on the dot of (5, 5) gives 5, not 4.9875.
    double pressedPhaseX(double start, double extent) const;
    double pressedPhaseY(double start, double extent) const;
};

// The mapping that shows the view on plots `growth` times as large as designed, the time plots
// `timeStretch` times wider still. The designed view at the designed size (PlaneView's
// defaults, growth 1, no stretch) gives the designed constants exactly.
PlotMapping mappingFor(const PlaneView &view, double growth = 1, double timeStretch = 1);

// The designed view's mapping, where the window starts.
inline double phaseX(double x) { return PlotMapping{}.phaseX(x); }
inline double phaseY(double y) { return PlotMapping{}.phaseY(y); }
inline double valueY(double value) { return PlotMapping{}.xValueY(value); }

// The single-precision position handed to the drawing surface, or nothing when the double
// is no finite number within the range of a float.
inline std::optional<float> toSingle(double position)
{
    if (!std::isfinite(position) || std::fabs(position) > FLT_MAX)
        return std::nullopt;
    return static_cast<float>(position);
}

// The value with the fewest decimals in [low, high).
inline double tidiestIn(double low, double high)
{
    for (int decimals = 0; decimals <= 7; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        const double candidate = std::ceil(low * scale) / scale;
        if (candidate < high)
            return candidate;
    }
    return low;
}

} // namespace plot_mapping
