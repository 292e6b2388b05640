#pragma once

#include <cfloat>
#include <cmath>
#include <optional>

// Where a sample stands in each plot, in twips of the plot's drawing area. Positions are
// computed in double precision, the multiplication first.
namespace plot_mapping {

// The phase plane: kPhaseTwipsPerUnit twips per unit on both axes, the origin at
// (kPhaseOriginX, kPhaseOriginY).
inline constexpr int kPhaseOriginX = 150;
inline constexpr int kPhaseOriginY = 4100;
inline constexpr int kPhaseTwipsPerUnit = 400;

inline double phaseX(double x) { return kPhaseOriginX + kPhaseTwipsPerUnit * x; }
inline double phaseY(double y) { return kPhaseOriginY - kPhaseTwipsPerUnit * y; }

// The inverse, in double precision: the point of the phase plane at a position in twips.
inline double phaseUnitsX(double twipsX) { return (twipsX - kPhaseOriginX) / kPhaseTwipsPerUnit; }
inline double phaseUnitsY(double twipsY) { return (kPhaseOriginY - twipsY) / kPhaseTwipsPerUnit; }

// The inverse as a press gives it: the offsets from the axis lines subtracted in single
// precision, then divided in double precision and rounded to a float.
inline float twipsRightOfYAxis(float twipsX) { return twipsX - static_cast<float>(kPhaseOriginX); }
inline float twipsAboveXAxis(float twipsY) { return static_cast<float>(kPhaseOriginY) - twipsY; }
inline float phaseUnitsOfOffset(float offsetTwips)
{
    return static_cast<float>(static_cast<double>(offsetTwips) / kPhaseTwipsPerUnit);
}

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

// A press covers a whole screen pixel, from `start` twips on for `extent` twips, and every
// point in it is as good as any other. The press is taken at the point of the phase plane
// whose value is tidiest, so that a press on the dot of (5, 5) gives 5, not 4.9875.
inline double pressedPhaseX(double start, double extent)
{
    return phaseX(tidiestIn(phaseUnitsX(start), phaseUnitsX(start + extent)));
}

inline double pressedPhaseY(double start, double extent)
{
    // y falls as the position grows: the tidiest of -y over the pixel.
    return phaseY(-tidiestIn((start - kPhaseOriginY) / kPhaseTwipsPerUnit,
                             (start + extent - kPhaseOriginY) / kPhaseTwipsPerUnit));
}

} // namespace plot_mapping
