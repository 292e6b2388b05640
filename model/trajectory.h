#pragma once

#include "model/coefficients.h"
#include "model/model.h"
#include "model/sample_array.h"

#include <bit>
#include <cstdint>

// One computed trajectory on its own: its samples and their validity, with the coefficients
// and the time step it was computed with. A later change of the model does not alter it.
struct Trajectory {
    Coefficients coefficients;
    double dt = 0;
    SampleArray<double> xs, ys;
    SampleArray<bool> ok;
};

// The trajectory the model holds, computed with the given coefficients.
inline Trajectory trajectoryOf(const Model &model, const Coefficients &coefficients)
{
    return {coefficients, model.dt, model.xs, model.ys, model.ok};
}

// What a trajectory is computed from: its initial point, its coefficients and its time step.
struct TrajectoryInputs {
    double x0 = 0, y0 = 0;
    Coefficients coefficients;
    double dt = 0;
};

// Whether two trajectories' inputs are the same to the last bit (so that -0 is not 0).
inline bool sameInputs(const TrajectoryInputs &a, const TrajectoryInputs &b)
{
    const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    return bits(a.x0) == bits(b.x0) && bits(a.y0) == bits(b.y0) && bits(a.dt) == bits(b.dt)
           && bitIdentical(a.coefficients, b.coefficients);
}

inline TrajectoryInputs inputsOf(const Trajectory &t)
{
    return {t.xs(0), t.ys(0), t.coefficients, t.dt};
}

// The trajectory its inputs give, computed as the model computes the one on screen: the same
// inputs give the same samples to the last bit.
Trajectory computedTrajectory(const TrajectoryInputs &inputs);
