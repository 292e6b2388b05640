#include "model/analysis/first_integral.h"

#include <cmath>
#include <limits>

bool hasFirstIntegral(const Coefficients &k)
{
    return k.B == 0 && k.F == 0;
}

bool hasClosedLevelCurves(const Coefficients &k)
{
    if (!hasFirstIntegral(k))
        return false;
    return (k.D < 0 && k.E > 0 && k.A > 0 && k.C < 0) || (k.D > 0 && k.E < 0 && k.A < 0 && k.C > 0);
}

double firstIntegral(const Coefficients &k, double x, double y)
{
    if (!(x > 0) || !(y > 0))
        return std::numeric_limits<double>::quiet_NaN();
    return k.D * std::log(x) + k.E * x - k.A * std::log(y) - k.C * y;
}

std::optional<double> relativeDrift(const Coefficients &k, const SampleArray<double> &xs,
                                    const SampleArray<double> &ys, const SampleArray<bool> &ok)
{
    if (!hasFirstIntegral(k) || !ok(0))
        return std::nullopt;
    const double h0 = firstIntegral(k, xs(0), ys(0));
    const double x0 = xs(0), y0 = ys(0);
    const double size = std::fabs(k.D * std::log(x0)) + std::fabs(k.E * x0) + std::fabs(k.A * std::log(y0))
        + std::fabs(k.C * y0);
    if (!std::isfinite(h0) || !std::isfinite(size) || size == 0)
        return std::nullopt;
    double largest = 0;
    for (int s = kFirstSample; s <= kLastSample; ++s) {
        const double h = firstIntegral(k, xs(s), ys(s));
        if (ok(s) && std::isfinite(h))
            largest = std::fmax(largest, std::fabs(h - h0) / size);
    }
    return largest;
}
