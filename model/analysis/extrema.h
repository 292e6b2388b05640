#pragma once

#include "model/coefficients.h"
#include "model/sample_array.h"

#include <optional>
#include <vector>

// A maximum or minimum of x(t) or y(t) along a stored trajectory: where x' (or y') changes sign
// between valid samples, that is, where the trajectory crosses that species' nullcline.
struct TurningPoint {
    enum class Variable { X, Y };
    enum class Kind { Maximum, Minimum };

    Variable variable = Variable::X;
    Kind kind = Kind::Maximum;
    int sample = 0;   // the sample of the run with the largest (smallest) value
};

// Every turning point of x and of y, ordered by sample, then x before y. Only runs of
// consecutive valid samples count: a sign change across an invalid sample is no turning point.
std::vector<TurningPoint> turningPoints(const Coefficients &k, const SampleArray<double> &xs,
                                        const SampleArray<double> &ys, const SampleArray<bool> &ok);

// Consecutive maxima of x belong to a closed orbit when they differ by at most this fraction of
// their size. A spiral whose turns change by less looks closed in the plots too. Where the first
// integral exists, it decides instead.
inline constexpr double kClosedOrbitTolerance = 1e-3;

// The oscillation of x along a trajectory: a period when its maxima repeat (a closed orbit),
// otherwise a pseudoperiod, the time between maxima that shrink or grow. `error` bounds how far
// the period may lie from the true one: twice its change when the same maxima are found again
// from the initial point at half the step (RK4's error falls sixteenfold then, so that change is
// nearly all of it), plus the rounding of the peak times.
struct Oscillation {
    enum class Kind { Closed, Damped, Growing };

    Kind kind = Kind::Closed;
    double period = 0;
    double error = 0;
};

// The mean time between consecutive maxima of x and whether the maxima agree, shrink or grow;
// nothing with fewer than two maxima of x. Each maximum is where x' falls through zero along the
// solution, found by bisection on x' within RK4 steps of dt / Model::kStepsPerSample from the
// sample before it. Where the first integral H exists and its level curves are closed (A, −C,
// −D, E of one sign), a trajectory in the open quadrant is a closed orbit, whatever its maxima.
std::optional<Oscillation> approximatePeriod(const Coefficients &k, const std::vector<TurningPoint> &points,
                                             const SampleArray<double> &xs, const SampleArray<double> &ys,
                                             const SampleArray<bool> &ok, double dt);

// How many significant digits of value (0 to 6) are sure when it may be off by error: the most
// whose last digit's half unit still covers the error, so that the value rounded to them lies
// within one unit of their last digit from the true one. 0 when not even the first is sure.
int sureDigits(double value, double error);
