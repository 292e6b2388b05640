#pragma once

#include "model/coefficients.h"

#include <optional>

// A rectangle of the plane, in the units of x and y.
struct PlaneRect {
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

// A straight piece from (x1, y1) to (x2, y2); both ends may be the same point.
struct Segment {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// The part of the line inside the rectangle, edges included. Nothing when the line misses the
// rectangle, lies beyond the range of a double, or is degenerate: b = c = 0 is no line at all
// (no points when a != 0, every point when a = 0), and there is nothing to draw.
std::optional<Segment> clipToRect(const StraightLine &line, const PlaneRect &rect);
