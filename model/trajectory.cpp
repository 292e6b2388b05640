#include "model/trajectory.h"

Trajectory computedTrajectory(const TrajectoryInputs &inputs)
{
    Model model;
    const Coefficients &k = inputs.coefficients;
    model.A = k.A;
    model.B = k.B;
    model.C = k.C;
    model.D = k.D;
    model.E = k.E;
    model.F = k.F;
    model.dt = inputs.dt;
    model.calcula([&] { return inputs.x0; }, [&] { return inputs.y0; });
    return trajectoryOf(model, k);
}
