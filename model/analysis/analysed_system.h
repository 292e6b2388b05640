#pragma once

#include "model/analysis/equilibria.h"
#include "model/coefficients.h"

#include <vector>

// A system as the analysis describes it: its coefficients, the time between two samples of
// its trajectory, and its equilibria.
struct AnalysedSystem {
    Coefficients coefficients;
    double dt = 0;
    std::vector<Equilibrium> equilibria;
};

inline AnalysedSystem analyse(const Coefficients &k, double dt)
{
    return {k, dt, equilibria(k)};
}
