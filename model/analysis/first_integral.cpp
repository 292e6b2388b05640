#include "model/analysis/first_integral.h"

#include <cmath>
#include <limits>

bool hasFirstIntegral(const Coefficients &k)
{
    return k.B == 0 && k.F == 0;
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
    if (!std::isfinite(h0) || h0 == 0)
        return std::nullopt;
    double largest = 0;
    for (int s = kFirstSample; s <= kLastSample; ++s) {
        const double h = firstIntegral(k, xs(s), ys(s));
        if (ok(s) && std::isfinite(h))
            largest = std::fmax(largest, std::fabs(h - h0) / std::fabs(h0));
    }
    return largest;
}
