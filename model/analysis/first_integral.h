#pragma once

#include "model/coefficients.h"
#include "model/sample_array.h"

#include <optional>

// The classic predator–prey form, B = F = 0: along every orbit in the open quadrant
//     H(x, y) = D ln x + E x − A ln y − C y
// stays constant, since dH/dt = D x'/x + E x' − A y'/y − C y' = 0. Its level curves are the orbits.
bool hasFirstIntegral(const Coefficients &k);

// H at (x, y); not a number outside the open quadrant.
double firstIntegral(const Coefficients &k, double x, double y);

// How far the stored samples stray from their own level: the largest |H(t) − H(0)| / |H(0)|
// over the valid samples in the open quadrant. Nothing without a first integral, when sample 0
// lies outside the open quadrant, or when H(0) is 0.
std::optional<double> relativeDrift(const Coefficients &k, const SampleArray<double> &xs,
                                    const SampleArray<double> &ys, const SampleArray<bool> &ok);
