#pragma once

#include "model/coefficients.h"

// What the linearisation says about an equilibrium.
enum class EquilibriumType {
    Saddle,
    StableNode,
    UnstableNode,
    StableDegenerateNode,    // a repeated eigenvalue
    UnstableDegenerateNode,
    StableStarNode,          // λ I: every direction is an eigenvector
    UnstableStarNode,
    StableFocus,
    UnstableFocus,
    Centre,                  // a true centre, where a first integral closes the orbits
    NonHyperbolic,           // determinant or trace 0: the linearisation does not decide
    Undetermined,            // the Jacobian is beyond the range of a double
    LineOfEquilibria,
    PlaneOfEquilibria,
};

// Whether every solution that starts near an equilibrium of this type tends to it.
bool isStable(EquilibriumType type);

// Two real eigenvalues, the larger first, or the pair real ± imaginary i.
struct Eigenvalues {
    double first = 0, second = 0;   // both the real part when complex
    double imaginary = 0;           // > 0 when complex
    bool representable = true;      // false: beyond the range of a double, and all three 0

    bool isComplex() const { return imaginary != 0; }
};

// The Jacobian [[xx, xy], [yx, yy]] of the field at a point. The diagonal entries are sums of
// three terms; xxTerms and yyTerms are the sums of the sizes of those terms, against which
// rounding is judged (see tolerance.h).
struct Jacobian {
    double xx = 0, xy = 0, yx = 0, yy = 0;
    double xxTerms = 0, yyTerms = 0;
    // At the interior point of a system with B = F = 0, whose first integral closes the orbits
    // around it: a zero trace there is a centre. Elsewhere a zero trace decides nothing.
    bool firstIntegral = false;
};

struct Linearisation {
    Eigenvalues eigenvalues;
    EquilibriumType type = EquilibriumType::Undetermined;
};

// J = [[A + 2Bx + Cy, Cx], [Ey, D + Ex + 2Fy]] at (x, y).
Jacobian jacobianAt(const Coefficients &k, double x, double y);

// The eigenvalues and type of a Jacobian. A determinant, trace or difference of eigenvalues
// within rounding of zero counts as zero, and the eigenvalues then show it as exactly zero; a
// zero trace with a positive determinant is a centre only with firstIntegral. The
// type depends only on the ratios of the entries: the matrix is first scaled by a power of two,
// so no product overflows or underflows. Undetermined only when an entry is not finite.
Linearisation linearise(const Jacobian &jacobian);
