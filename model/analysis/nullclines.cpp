#include "model/analysis/nullclines.h"

#include <algorithm>
#include <cmath>
#include <limits>

std::optional<Segment> clipToRect(const StraightLine &line, const PlaneRect &rect)
{
    if (line.isDegenerate())
        return std::nullopt;
    // Scaled so that the larger of b and c is 1: the squares below can neither overflow nor vanish.
    const double scale = std::max(std::fabs(line.b), std::fabs(line.c));
    const double a = line.a / scale, b = line.b / scale, c = line.c / scale;
    const double normSquared = b * b + c * c;
    // The point of the line nearest the origin, and the line's direction.
    const double px = -a * b / normSquared, py = -a * c / normSquared;
    const double dx = c, dy = -b;
    if (!std::isfinite(px) || !std::isfinite(py))
        return std::nullopt;

    // Liang-Barsky: narrow the parameter t of p + t d to each pair of edges in turn.
    double low = -std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
    auto narrow = [&low, &high](double position, double direction, double min, double max) {
        if (direction == 0)
            return position >= min && position <= max;
        double enter = (min - position) / direction;
        double leave = (max - position) / direction;
        if (enter > leave)
            std::swap(enter, leave);
        low = std::max(low, enter);
        high = std::min(high, leave);
        return low <= high;
    };
    if (!narrow(px, dx, rect.xMin, rect.xMax) || !narrow(py, dy, rect.yMin, rect.yMax))
        return std::nullopt;
    Segment segment{px + low * dx, py + low * dy, px + high * dx, py + high * dy};
    // An end that the direction reaches exactly at an edge stays on it despite rounding.
    if (dx == 0)
        segment.x1 = segment.x2 = px;
    if (dy == 0)
        segment.y1 = segment.y2 = py;
    return segment;
}
