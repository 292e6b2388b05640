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

// The time of the peak near a turning point's sample: the vertex of the parabola through it and
// its two neighbours, when both are valid and the parabola bends the right way; otherwise the
// sample's own time.
double peakTime(const TurningPoint &point, const SampleArray<double> &xs, const SampleArray<double> &ys,
                const SampleArray<bool> &ok, double dt);

// Consecutive maxima of x belong to a closed orbit when they differ by at most this fraction of
// their size plus what the parabolas through three samples add to each, the part of a peak that
// the samples leave unknown. A spiral whose turns change by less looks closed in the plots too.
inline constexpr double kClosedOrbitTolerance = 1e-3;

// The oscillation of x along a trajectory: a period when its maxima repeat (a closed orbit),
// otherwise a pseudoperiod, the time between maxima that shrink or grow.
struct Oscillation {
    enum class Kind { Closed, Damped, Growing };

    Kind kind = Kind::Closed;
    double period = 0;
};

// The mean time between consecutive maxima of x, from their peak times, and whether the maxima
// agree, shrink or grow; nothing with fewer than two maxima of x.
std::optional<Oscillation> approximatePeriod(const std::vector<TurningPoint> &points, const SampleArray<double> &xs,
                                             const SampleArray<double> &ys, const SampleArray<bool> &ok, double dt);
