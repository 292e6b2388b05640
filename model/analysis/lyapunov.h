#pragma once

#include "model/coefficients.h"

#include <optional>

// A Lyapunov function of the interior equilibrium (x*, y*), x*, y* > 0 (Goh, 1977):
//     V = c1 (x − x* − x* ln(x/x*)) + c2 (y − y* − y* ln(y/y*)),   c1, c2 > 0.
// With u = (x − x*, y − y*), dV/dt = uᵀ M u for M = [[c1 B, (c1 C + c2 E)/2], [(c1 C + c2 E)/2, c2 F]],
// so V decreases along every orbit in the open quadrant when M is negative semidefinite. V grows
// without bound towards the axes and infinity, so then every orbit stays bounded and (x*, y*) is
// stable in the whole open quadrant.
struct LyapunovFunction {
    double x = 0, y = 0;     // the equilibrium
    double c1 = 1, c2 = 1;

    double operator()(double px, double py) const;
    // dV/dt along the field of k at (px, py).
    double derivative(const Coefficients &k, double px, double py) const;
};

// The function when the criterion proves the interior equilibrium stable: B and F not both
// zero, an equilibrium with x*, y* > 0, and weights with M negative semidefinite. For 2 × 2
// systems such weights exist exactly when B ≤ 0, F ≤ 0 and BF ≥ CE (with C + c2/c1 E = 0 where
// B or F is 0), signs and comparison taken on the coefficients as they are, however tiny. Nothing
// where the criterion does not decide; also where the comparison of BF with CE is too close for
// the doubles to settle, so that no claim rests on rounding, and where c2/c1 is beyond the range
// of a double.
std::optional<LyapunovFunction> gohLyapunovFunction(const Coefficients &k);
