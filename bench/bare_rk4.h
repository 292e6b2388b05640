#pragma once

#include "model/sample_array.h"

class Model;

// The stored trajectory as the plainest possible loop computes it.
struct BareTrajectory {
    SampleArray<double> xs, ys;
    SampleArray<bool> ok;
};

// The same 201 samples as Model::calcula from (x0, y0) with the model's coefficients and dt,
// in the same order of arithmetic, but with no fault tests, no evaluation point kept in the
// model and no readers: the yardstick that calcula's bookkeeping is measured against.
void bareCalcula(const Model &model, double x0, double y0, BareTrajectory &out);
