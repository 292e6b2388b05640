#include "model/trajectory.h"

Trajectory computedTrajectory(const TrajectoryInputs &inputs)
{
    Model model;
    const Coefficients &k = inputs.coefficients;
    model.setCoefficients(k);
    model.dt = inputs.dt;
    model.calcula([&] { return inputs.x0; }, [&] { return inputs.y0; });
    return trajectoryOf(model, k);
}
