#pragma once

#include "model/analysis/linearisation.h"
#include "model/coefficients.h"

#include <vector>

// One equilibrium of the system: an isolated point with its linearisation, or a whole line
// (or the whole plane) of equilibria, whose type alone is given.
struct Equilibrium {
    enum class Shape { Point, Line, Plane };

    Shape shape = Shape::Point;
    double x = 0, y = 0;          // a point
    StraightLine line;            // a line: every (x, y) with a + b x + c y = 0
    Linearisation linearisation;  // of a point; for a line or the plane only its type is set

    EquilibriumType type() const { return linearisation.type; }
};

// Every equilibrium, each once, in this order: (0, 0); (-A/B, 0); (0, -D/F); the interior point
// ((CD - AF)/Δ, (AE - BD)/Δ) with Δ = BF - CE; then the lines: the x axis when A = B = 0, the
// y axis when D = F = 0, and x' = 0 when it coincides with y' = 0 (or when either equation
// holds everywhere). All six coefficients zero give the plane alone. A point beyond the range
// of a double is left out.
std::vector<Equilibrium> equilibria(const Coefficients &k);
