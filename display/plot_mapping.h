#pragma once

#include <cfloat>
#include <cmath>
#include <optional>

// Where a sample stands in each plot, in twips of the plot's drawing area. Positions are
// computed in double precision, the multiplication first.
namespace plot_mapping {

// The phase plane: 400 twips per unit on both axes, origin at (150, 4100).
inline double phaseX(double x) { return 150 + 400 * x; }
inline double phaseY(double y) { return 4100 - 400 * y; }

// The time plots: sample k at 2060 + 20 k whatever the time step, 170 twips per unit upwards
// from the value 0 at 1700.
inline int timeX(int k) { return 2060 + 20 * k; }
inline double valueY(double value) { return 1700 - 170 * value; }

// The single-precision position handed to the drawing surface, or nothing when the double
// is no finite number within the range of a float.
inline std::optional<float> toSingle(double position)
{
    if (!std::isfinite(position) || std::fabs(position) > FLT_MAX)
        return std::nullopt;
    return static_cast<float>(position);
}

} // namespace plot_mapping
