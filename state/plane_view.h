#pragma once

#include <algorithm>
#include <cmath>

// The part of the plane the phase plane shows: a square whose lower-left corner is
// (left, bottom) and whose side is `side` units, on both axes alike. The time plots' value
// axes follow it. At start it is the designed view, x from -0.375 and y from -0.5 over 10.75
// units, whose mapping onto the drawing area is exactly the designed one.
struct PlaneView {
    double left = -0.375;
    double bottom = -0.5;
    double side = 10.75;

    friend bool operator==(const PlaneView &, const PlaneView &) = default;
};

namespace plane_view {

// Samples exist only within |x|, |y| < kBound: the view never leaves that square, and it is
// never narrower than kNarrowest.
inline constexpr double kBound = 20;
inline constexpr double kNarrowest = 1e-6;
// One step of zoom, by the keys or one notch of the wheel.
inline constexpr double kZoomStep = 1.25;

// The nearest view within the limits: the side clamped first, then the corner moved inside.
// A view with a number that is not finite gives the designed view.
inline PlaneView clamped(PlaneView v)
{
    if (!std::isfinite(v.left) || !std::isfinite(v.bottom) || !std::isfinite(v.side))
        return {};
    v.side = std::clamp(v.side, kNarrowest, 2 * kBound);
    v.left = std::clamp(v.left, -kBound, kBound - v.side);
    v.bottom = std::clamp(v.bottom, -kBound, kBound - v.side);
    return v;
}

// Zoomed by factor (> 1 closer) about the point (x, y), which stays where it is shown unless
// the limits move the view.
inline PlaneView zoomedAbout(const PlaneView &v, double x, double y, double factor)
{
    const double side = std::clamp(v.side / factor, kNarrowest, 2 * kBound);
    const double kept = side / v.side;
    return clamped({x - (x - v.left) * kept, y - (y - v.bottom) * kept, side});
}

// Moved by the given fractions of the side, right and up.
inline PlaneView panned(const PlaneView &v, double right, double up)
{
    return clamped({v.left + right * v.side, v.bottom + up * v.side, v.side});
}

// The smallest view, with a margin of a twentieth on each side, that holds the box from
// (x0, y0) to (x1, y1), centred on it.
inline PlaneView fitting(double x0, double y0, double x1, double y1)
{
    const double side = std::max({x1 - x0, y1 - y0, kNarrowest}) * 1.1;
    return clamped({(x0 + x1) / 2 - side / 2, (y0 + y1) / 2 - side / 2, side});
}

} // namespace plane_view
