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

// X = CD - AF, Y = AE - BD and Δ = BF - CE: the nullclines A + Bx + Cy = 0 and D + Ex + Fy = 0
// meet at (X/Δ, Y/Δ). Each is rounded once (productDifference). Δ counts as 0 within
// kRelativeTolerance of its terms, and then the nullclines are parallel, whatever X and Y; X and Y
// count as 0 only within kRoundingTolerance, so that a small Δ does not magnify a wider one into
// a moved point. The products must be in range: scale the coefficients first.
struct CrossingTerms {
    double X = 0, Y = 0, delta = 0;
};
CrossingTerms crossingTerms(const Coefficients &k);

// The Jacobian at each kind of equilibrium in a form where nothing cancels, its diagonal entries
// each one term: at (-A/B, 0) J = [[-A, Cx], [0, -Y/B]], at (0, -D/F) J = [[-X/F, 0], [Ey, -D]]
// and at the meeting point (x, y) J = [[Bx, Cx], [Ey, Fy]], with firstIntegral where B = F = 0.
Jacobian jacobianOnXAxis(const Coefficients &k, const CrossingTerms &terms);
Jacobian jacobianOnYAxis(const Coefficients &k, const CrossingTerms &terms);
Jacobian jacobianInside(const Coefficients &k, double x, double y);

// Every equilibrium, each once, in this order: (0, 0); (-A/B, 0); (0, -D/F); the interior point
// ((CD - AF)/Δ, (AE - BD)/Δ) with Δ = BF - CE; then the lines: the x axis when A = B = 0, the
// y axis when D = F = 0, and x' = 0 when it coincides with y' = 0 (or when either equation
// holds everywhere). All six coefficients zero give the plane alone. A point beyond the range
// of a double is left out.
std::vector<Equilibrium> equilibria(const Coefficients &k);
