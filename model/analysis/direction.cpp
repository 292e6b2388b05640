#include "model/analysis/direction.h"

#include "model/analysis/tolerance.h"

#include <algorithm>
#include <cmath>

namespace {

// x (a + b x + c y), or 0 when the bracket is zero within rounding.
double component(double value, double a, double bx, double cy)
{
    const double bracket = a + bx + cy;
    if (isNegligible(bracket, std::fabs(a) + std::fabs(bx) + std::fabs(cy)))
        return 0;
    return value * bracket;
}

} // namespace

std::optional<Direction> fieldDirection(const Coefficients &k, double x, double y)
{
    const double fx = component(x, k.A, k.B * x, k.C * y);
    const double fy = component(y, k.D, k.E * x, k.F * y);
    if (!std::isfinite(fx) || !std::isfinite(fy) || (fx == 0 && fy == 0))
        return std::nullopt;
    // Scaled by the larger component first, so that the length neither overflows nor vanishes.
    const double scale = std::max(std::fabs(fx), std::fabs(fy));
    const double ux = fx / scale, uy = fy / scale;
    const double length = std::hypot(ux, uy);
    return Direction{ux / length, uy / length};
}
