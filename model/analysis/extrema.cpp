#include "extrema.h"

#include <algorithm>
#include <cmath>

namespace {

using Variable = TurningPoint::Variable;
using Kind = TurningPoint::Kind;

int signOf(double v)
{
    return (v > 0) - (v < 0);
}

// The sign of x' = x (A + B x + C y) or y' = y (D + E x + F y) at a sample.
int slopeSign(const Coefficients &k, Variable variable, double x, double y)
{
    if (variable == Variable::X)
        return signOf(x) * signOf(k.A + k.B * x + k.C * y);
    return signOf(y) * signOf(k.D + k.E * x + k.F * y);
}

void findFor(Variable variable, const Coefficients &k, const SampleArray<double> &xs, const SampleArray<double> &ys,
             const SampleArray<bool> &ok, std::vector<TurningPoint> &found)
{
    const SampleArray<double> &values = variable == Variable::X ? xs : ys;
    int lastSign = 0;        // the last non-zero slope sign of the current run of valid samples
    int lastSignAt = 0;      // where it was seen
    for (int s = kFirstSample; s <= kLastSample; ++s) {
        if (!ok(s)) {
            lastSign = 0;
            continue;
        }
        const int sign = slopeSign(k, variable, xs(s), ys(s));
        if (sign == 0)
            continue;
        if (lastSign != 0 && sign != lastSign) {
            // The slope changed sign between lastSignAt and s: the turning point is the most
            // extreme sample there.
            const Kind kind = lastSign > 0 ? Kind::Maximum : Kind::Minimum;
            int best = lastSignAt;
            for (int j = lastSignAt + 1; j <= s; ++j)
                if (kind == Kind::Maximum ? values(j) > values(best) : values(j) < values(best))
                    best = j;
            found.push_back({variable, kind, best});
        }
        lastSign = sign;
        lastSignAt = s;
    }
}

} // namespace

std::vector<TurningPoint> turningPoints(const Coefficients &k, const SampleArray<double> &xs,
                                        const SampleArray<double> &ys, const SampleArray<bool> &ok)
{
    std::vector<TurningPoint> found;
    findFor(Variable::X, k, xs, ys, ok, found);
    findFor(Variable::Y, k, xs, ys, ok, found);
    std::stable_sort(found.begin(), found.end(),
                     [](const TurningPoint &a, const TurningPoint &b) { return a.sample < b.sample; });
    return found;
}

double peakTime(const TurningPoint &point, const SampleArray<double> &xs, const SampleArray<double> &ys,
                const SampleArray<bool> &ok, double dt)
{
    const int s = point.sample;
    const double t = static_cast<double>(s) * dt;
    if (s == kFirstSample || s == kLastSample || !ok(s - 1) || !ok(s + 1))
        return t;
    const SampleArray<double> &v = point.variable == Variable::X ? xs : ys;
    const double before = v(s - 1), at = v(s), after = v(s + 1);
    const double bend = before - 2 * at + after;
    const bool rightWay = point.kind == Kind::Maximum ? bend < 0 : bend > 0;
    if (!rightWay || !std::isfinite(bend))
        return t;
    // The vertex lies within half a sample of s, since s is the most extreme of the three.
    const double offset = (before - after) / (2 * bend);
    return t + offset * dt;
}

std::optional<double> approximatePeriod(const std::vector<TurningPoint> &points, const SampleArray<double> &xs,
                                        const SampleArray<double> &ys, const SampleArray<bool> &ok, double dt)
{
    std::vector<double> peaks;
    for (const TurningPoint &point : points)
        if (point.variable == Variable::X && point.kind == Kind::Maximum)
            peaks.push_back(peakTime(point, xs, ys, ok, dt));
    if (peaks.size() < 2)
        return std::nullopt;
    const double period = (peaks.back() - peaks.front()) / static_cast<double>(peaks.size() - 1);
    if (!std::isfinite(period) || period <= 0)
        return std::nullopt;
    return period;
}
