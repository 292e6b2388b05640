#include "model/analysis/extrema.h"

#include "model/analysis/tolerance.h"

#include <algorithm>
#include <cmath>

namespace {

using Variable = TurningPoint::Variable;
using Kind = TurningPoint::Kind;

int signOf(double v)
{
    return (v > 0) - (v < 0);
}

// The sign of a + b u + c v, or 0 within rounding of zero: near an equilibrium that the
// trajectory has reached to the last digits, the sign is noise and no turn.
int factorSign(double a, double bu, double cv)
{
    const double factor = a + bu + cv;
    return isNegligible(factor, std::fabs(a) + std::fabs(bu) + std::fabs(cv)) ? 0 : signOf(factor);
}

// The sign of x' = x (A + B x + C y) or y' = y (D + E x + F y) at a sample.
int slopeSign(const Coefficients &k, Variable variable, double x, double y)
{
    if (variable == Variable::X)
        return signOf(x) * factorSign(k.A, k.B * x, k.C * y);
    return signOf(y) * factorSign(k.D, k.E * x, k.F * y);
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

namespace {

struct Peak {
    double time = 0;
    double value = 0;
    double correction = 0;   // how far the vertex lies from the sample's value
};

// The vertex of the parabola through a turning point's sample and its two neighbours, when both
// are valid and the parabola bends the right way; otherwise the sample itself.
Peak peak(const TurningPoint &point, const SampleArray<double> &xs, const SampleArray<double> &ys,
          const SampleArray<bool> &ok, double dt)
{
    const int s = point.sample;
    const double t = static_cast<double>(s) * dt;
    const SampleArray<double> &v = point.variable == Variable::X ? xs : ys;
    if (s == kFirstSample || s == kLastSample || !ok(s - 1) || !ok(s + 1))
        return {t, v(s), 0};
    const double before = v(s - 1), at = v(s), after = v(s + 1);
    const double bend = before - 2 * at + after;
    const bool rightWay = point.kind == Kind::Maximum ? bend < 0 : bend > 0;
    if (!rightWay || !std::isfinite(bend))
        return {t, at, 0};
    // The vertex lies within half a sample of s, since s is the most extreme of the three.
    const double offset = (before - after) / (2 * bend);
    const double height = at - (before - after) * offset / 4;
    if (!std::isfinite(height))
        return {t + offset * dt, at, 0};
    return {t + offset * dt, height, std::fabs(height - at)};
}

} // namespace

double peakTime(const TurningPoint &point, const SampleArray<double> &xs, const SampleArray<double> &ys,
                const SampleArray<bool> &ok, double dt)
{
    return peak(point, xs, ys, ok, dt).time;
}

std::optional<Oscillation> approximatePeriod(const std::vector<TurningPoint> &points, const SampleArray<double> &xs,
                                             const SampleArray<double> &ys, const SampleArray<bool> &ok, double dt)
{
    std::vector<Peak> peaks;
    for (const TurningPoint &point : points)
        if (point.variable == Variable::X && point.kind == Kind::Maximum)
            peaks.push_back(peak(point, xs, ys, ok, dt));
    if (peaks.size() < 2)
        return std::nullopt;
    const double period = (peaks.back().time - peaks.front().time) / static_cast<double>(peaks.size() - 1);
    if (!std::isfinite(period) || period <= 0)
        return std::nullopt;
    // Two consecutive maxima agree when they differ by at most kClosedOrbitTolerance of their size
    // plus what the parabolas added to their samples: the samples leave the peak's height unknown
    // by about that much. A spiral crosses the line x' = 0 ever further in or out, so its maxima
    // shrink or grow turn after turn; maxima that do not are a closed orbit seen through its samples.
    bool agree = true, shrink = true, grow = true;
    for (std::size_t i = 1; i < peaks.size(); ++i) {
        const Peak &a = peaks[i - 1], &b = peaks[i];
        const double allowed = kClosedOrbitTolerance * std::max(std::fabs(a.value), std::fabs(b.value)) + a.correction
            + b.correction;
        agree = agree && std::fabs(b.value - a.value) <= allowed;
        shrink = shrink && b.value < a.value;
        grow = grow && b.value > a.value;
    }
    if (agree || !(shrink || grow))
        return Oscillation{Oscillation::Kind::Closed, period};
    return Oscillation{shrink ? Oscillation::Kind::Damped : Oscillation::Kind::Growing, period};
}
