#pragma once

#include "model/coefficients.h"

#include <vector>

// What becomes of the two species, read off the equilibria in the closed quadrant x >= 0,
// y >= 0 (the only one with a meaning for populations), their stability and whether some
// solution there grows without bound. The stable sets that occur are {}, {origin},
// {x-axis point}, {y-axis point}, {interior point}, {both axis points} and {origin, interior
// point}: a stable origin needs A, D < 0, which puts an axis point in the quadrant only with
// B > 0 or F > 0, where it is unstable; two stable points besides never occur without a
// saddle between them (see regime_test for the census).
enum class Regime {
    Coexistence,          // the interior point attracts
    XWins,                // (-A/B, 0) attracts
    YWins,                // (0, -D/F) attracts
    Bistable,             // both axis points attract: whoever starts ahead wins
    ExtinctionOrCoexistence,   // the origin and the interior point attract
    Extinction,           // the origin attracts, and nothing grows without bound
    // A centre inside (B = F = 0): every solution inside the quadrant runs round a closed orbit
    // of the first integral, while on one axis a species alone grows without bound (see
    // regimeOf: a centre always comes with one).
    NeutralCyclesUnboundedOnAxis,
    Unbounded,            // nothing attracts, and some solutions grow without bound
    // Some solutions grow without bound, and others settle at what attracts:
    XWinsOrUnbounded,
    YWinsOrUnbounded,
    CoexistenceOrUnbounded,
    ExtinctionOrUnbounded,
    BistableOrUnbounded,
    NoAttractor,          // nothing attracts and every solution stays bounded
    Borderline,           // an equilibrium in the quadrant that the linearisation does not decide,
                          // or growth that the quadratic terms do not decide
    LineOfEquilibria,     // a whole line of equilibria crosses the quadrant
    PlaneOfEquilibria,    // all six coefficients zero
};
inline constexpr int kRegimeCount = static_cast<int>(Regime::PlaneOfEquilibria) + 1;

// Whether some solution starting in the closed quadrant grows without bound, decided by the
// quadratic terms (and, where one of B, F is zero, the linear ones along that axis).
enum class Growth { Bounded, Unbounded, Undecided };
Growth growthOf(const Coefficients &k);

// The regime of the system: the same equilibria and types as equilibria(k) gives, kept to the
// closed quadrant.
Regime regimeOf(const Coefficients &k);

// Its Spanish name as the program shows it, lower case (UTF-8): «coexistencia», «gana x», …
const char *regimeName(Regime regime);

// The values of one coefficient (index 0..5, A..F) in [from, to] where the regime changes: the
// zeros of the closed forms it depends on, each located by halving to neighbouring doubles, kept
// where the regime on either side differs. In increasing order; none for a bad range or index.
std::vector<double> regimeBoundaries(const Coefficients &k, int coefficient, double from, double to);
