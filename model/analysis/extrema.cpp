#include "model/analysis/extrema.h"

#include "model/analysis/first_integral.h"
#include "model/analysis/separatrices.h"
#include "model/analysis/tolerance.h"
#include "model/model.h"

#include <algorithm>
#include <cfloat>
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

double xSlope(const Coefficients &k, PlanePoint p)
{
    return p.x * (k.A + k.B * p.x + k.C * p.y);
}

constexpr int kBisections = 60;

struct Peak {
    double time = 0;
    PlanePoint at;
};

// The time into one RK4 step of h from p (h < 0: backwards) at which x' falls to zero in the
// step's direction, x' h being above zero at p and not at the step's end: bisection on the
// length of a step from p.
double fallWithin(const Coefficients &k, PlanePoint p, double h)
{
    double low = 0, high = h;
    for (int i = 0; i < kBisections; ++i) {
        const double middle = low + (high - low) / 2;
        if (middle == low || middle == high)
            break;
        const double slope = xSlope(k, fieldRk4Step(k, p, middle)) * h;
        (slope > 0 ? low : high) = middle;
    }
    return low + (high - low) / 2;
}

// The next maximum of x from p at time t in at most `steps` RK4 steps of h (h < 0: the one
// before): the first fall of x' h through zero once it has been above zero (at once when
// `rising`, as before a peak).
std::optional<Peak> nextMaximum(const Coefficients &k, PlanePoint p, double t, double h, int steps, bool rising)
{
    for (int step = 0; step < steps; ++step) {
        const PlanePoint q = fieldRk4Step(k, p, h);
        const double slope = xSlope(k, q) * h;
        if (!std::isfinite(q.x) || !std::isfinite(q.y) || !std::isfinite(slope))
            return std::nullopt;
        if (rising && !(slope > 0)) {
            const double into = fallWithin(k, p, h);
            return Peak{t + static_cast<double>(step) * h + into, fieldRk4Step(k, p, into)};
        }
        rising = rising || slope > 0;
        p = q;
    }
    return std::nullopt;
}

// The maximum of x at a turning point: where x' falls through zero after the sample before it.
// Without a fall there, the sample itself, known to a sample's time.
Peak peakAt(const Coefficients &k, const TurningPoint &point, const SampleArray<double> &xs,
            const SampleArray<double> &ys, const SampleArray<bool> &ok, double dt, double &unsure)
{
    const int s = point.sample;
    const int from = s > kFirstSample && ok(s - 1) ? s - 1 : s;
    const double h = dt / Model::kStepsPerSample;
    if (const std::optional<Peak> found = nextMaximum(k, {xs(from), ys(from)}, static_cast<double>(from) * dt, h,
                                                      2 * Model::kStepsPerSample, true))
        return *found;
    unsure = std::fmax(unsure, dt);
    return {static_cast<double>(s) * dt, {xs(s), ys(s)}};
}

// The time of the `count`-th maximum of x from p at time 0, in steps of h (h < 0: backwards),
// each in at most `steps`; nothing when one takes longer.
std::optional<double> countedMaximum(const Coefficients &k, PlanePoint p, int count, double h, int steps)
{
    double t = 0;
    bool rising = xSlope(k, p) * h > 0;
    for (int found = 0; found < count; ++found) {
        const std::optional<Peak> next = nextMaximum(k, p, t, h, steps, rising);
        if (!next)
            return std::nullopt;
        t = next->time;
        p = next->at;
        rising = false;
    }
    return t;
}

} // namespace

std::optional<Oscillation> approximatePeriod(const Coefficients &k, const std::vector<TurningPoint> &points,
                                             const SampleArray<double> &xs, const SampleArray<double> &ys,
                                             const SampleArray<bool> &ok, double dt)
{
    std::vector<Peak> peaks;
    double unsure = 0;
    for (const TurningPoint &point : points)
        if (point.variable == Variable::X && point.kind == Kind::Maximum)
            peaks.push_back(peakAt(k, point, xs, ys, ok, dt, unsure));
    if (peaks.size() < 2)
        return std::nullopt;
    const double turns = static_cast<double>(peaks.size() - 1);
    const double period = (peaks.back().time - peaks.front().time) / turns;
    if (!std::isfinite(period) || period <= 0)
        return std::nullopt;

    // RK4's error in the period: the same maxima found again from the initial point, forwards
    // and backwards at half the trajectory's step, have a sixteenth of it, so the change is nearly
    // all of it, and twice the change covers it. Each peak time carries its rounding too.
    const double h = dt / Model::kStepsPerSample;
    const int steps = static_cast<int>(std::fmin(8 * period / h, 4.0 * kSampleCount * Model::kStepsPerSample)) + 2;
    const int before = static_cast<int>(std::count_if(peaks.begin(), peaks.end(), [](const Peak &p) { return p.time < 0; }));
    const int after = static_cast<int>(peaks.size()) - before;
    const PlanePoint start{xs(0), ys(0)};
    const std::optional<double> first = before > 0 ? countedMaximum(k, start, before, -h / 2, 2 * steps)
                                                   : countedMaximum(k, start, 1, h / 2, 2 * steps);
    const std::optional<double> last = after > 0 ? countedMaximum(k, start, after, h / 2, 2 * steps)
                                                 : countedMaximum(k, start, 1, -h / 2, 2 * steps);
    const double rounding = 8 * DBL_EPSILON * std::fmax(std::fabs(peaks.front().time), std::fabs(peaks.back().time));
    double error = period;   // unknown when the maxima cannot be found again
    if (first && last)
        error = 2 * std::fabs(period - (*last - *first) / turns) + (2 * rounding + unsure) / turns;

    // Two consecutive maxima agree when they differ by at most kClosedOrbitTolerance of their size.
    // A spiral crosses the line x' = 0 ever further in or out, so its maxima shrink or grow turn
    // after turn; maxima that do not are a closed orbit seen through its samples.
    bool agree = true, shrink = true, grow = true;
    for (std::size_t i = 1; i < peaks.size(); ++i) {
        const double a = peaks[i - 1].at.x, b = peaks[i].at.x;
        agree = agree && std::fabs(b - a) <= kClosedOrbitTolerance * std::max(std::fabs(a), std::fabs(b));
        shrink = shrink && b < a;
        grow = grow && b > a;
    }
    const bool closedByH = hasClosedLevelCurves(k) && ok(0) && xs(0) > 0 && ys(0) > 0;
    if (closedByH || agree || !(shrink || grow))
        return Oscillation{Oscillation::Kind::Closed, period, error};
    return Oscillation{shrink ? Oscillation::Kind::Damped : Oscillation::Kind::Growing, period, error};
}

int sureDigits(double value, double error)
{
    const double size = std::fabs(value);
    if (!(size > 0) || !std::isfinite(size))
        return 0;
    const double leading = std::floor(std::log10(size));
    for (int digits = 6; digits > 0; --digits)
        if (error <= std::pow(10.0, leading - digits + 1) / 2)
            return digits;
    return 0;
}
