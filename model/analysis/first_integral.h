#pragma once

#include "model/coefficients.h"
#include "model/sample_array.h"

#include <optional>

// The classic predator–prey form, B = F = 0: along every orbit in the open quadrant
//     H(x, y) = D ln x + E x − A ln y − C y
// stays constant, since dH/dt = D x'/x + E x' − A y'/y − C y' = 0. Its level curves are the orbits.
bool hasFirstIntegral(const Coefficients &k);

// Whether H's level curves in the open quadrant are closed curves around the interior
// equilibrium: D ln x + E x and −A ln y − C y both grow without bound towards either end (or
// both fall), when −D, E, A and −C are all of one sign. Then every orbit there is closed.
bool hasClosedLevelCurves(const Coefficients &k);

// H at (x, y); not a number outside the open quadrant.
double firstIntegral(const Coefficients &k, double x, double y);

// How far the stored samples stray from their own level. H is defined up to a constant, so the
// largest |H(t) − H(0)| over the valid samples in the open quadrant is measured against the size
// of H's terms at the start, |D ln x₀| + |E x₀| + |A ln y₀| + |C y₀|, the scale of its rounding.
// Nothing without a first integral, when sample 0 lies outside the open quadrant, or when those
// terms are all 0.
std::optional<double> relativeDrift(const Coefficients &k, const SampleArray<double> &xs,
                                    const SampleArray<double> &ys, const SampleArray<bool> &ok);
