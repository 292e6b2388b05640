#include "model/analysis/regime.h"

#include "model/analysis/bifurcation.h"
#include "model/analysis/equilibria.h"
#include "model/analysis/linearisation.h"
#include "model/analysis/tolerance.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cmath>
#include <initializer_list>

namespace {

// The exponent frexp gives a value, read off its bits where it is a normal number (the map asks
// for it at every pixel, and the library call costs more than the rest of a pixel's scaling).
int frexpExponent(double v)
{
    const auto biased = int((std::bit_cast<std::uint64_t>(v) >> 52) & 0x7ff);
    if (biased == 0 || biased == 0x7ff) {   // zero, subnormal, infinite or no number
        int exponent = 0;
        std::frexp(v, &exponent);
        return exponent;
    }
    return biased - 1022;
}

// 2^n for n in [-1022, 1023], from its bits: ldexp(1.0, n) without the call.
double powerOfTwo(int n)
{
    return std::bit_cast<double>(std::uint64_t(n + 1023) << 52);
}

// v × 2^n, as ldexp gives it: a product with a power of two is rounded once, like ldexp's
// result, so the two agree wherever the power itself is a double.
double timesPowerOfTwo(double v, int n)
{
    return n < -1000 || n > 1000 ? std::ldexp(v, n) : v * powerOfTwo(n);
}

// The exponent e of 2 that brings the largest coefficient to [1/2, 1) when multiplied by 2^-e,
// as equilibria() scales the system before it finds the points.
int exponentOf(const Coefficients &k)
{
    double largest = 0;
    for (double v : {k.A, k.B, k.C, k.D, k.E, k.F})
        largest = std::max(largest, std::fabs(v));
    return frexpExponent(largest);
}

// Times 2^-e, as ldexp gives it.
Coefficients scaled(const Coefficients &k, int e)
{
    if (e < -1000 || e > 1000)
        return {std::ldexp(k.A, -e), std::ldexp(k.B, -e), std::ldexp(k.C, -e),
                std::ldexp(k.D, -e), std::ldexp(k.E, -e), std::ldexp(k.F, -e)};
    const double factor = powerOfTwo(-e);
    return {k.A * factor, k.B * factor, k.C * factor, k.D * factor, k.E * factor, k.F * factor};
}

// Two coordinates of points that equilibria() takes for one: the later point is left out.
bool samePlace(double a, double b)
{
    const double gap = a - b;
    return std::isfinite(gap) && std::fabs(gap) <= 1e-9 * (std::fabs(a) + std::fabs(b));
}

// Whether the line a + b x + c y = 0 has a point with x >= 0 and y >= 0.
bool crossesQuadrant(const StraightLine &line)
{
    if (line.a == 0)
        return true;
    const auto opposite = [&line](double v) { return v != 0 && (v > 0) != (line.a > 0); };
    return opposite(line.b) || opposite(line.c);
}

bool inQuadrant(double x, double y)
{
    return x >= 0 && y >= 0;
}

// What the equilibria in the closed quadrant say, with their type as equilibria() finds it.
struct QuadrantPoints {
    bool line = false, plane = false;
    bool undecided = false;   // non-hyperbolic or beyond the range of a double
    bool centre = false;
    bool origin = false, xAxis = false, yAxis = false, interior = false;   // stable ones
};

void take(QuadrantPoints &points, int role, EquilibriumType type)
{
    if (type == EquilibriumType::NonHyperbolic || type == EquilibriumType::Undetermined)
        points.undecided = true;
    else if (type == EquilibriumType::Centre)
        points.centre = true;
    else if (isStable(type))
        (role == 0 ? points.origin : role == 1 ? points.xAxis : role == 2 ? points.yAxis : points.interior) = true;
}

// A point on an axis, whose Jacobian is triangular with each diagonal entry its own single term:
// linearise() then finds it undetermined where an entry is no finite number, non-hyperbolic where
// a diagonal entry is exactly 0 (within rounding of itself), and stable (a node of some kind)
// where both are negative. The same without the eigenvalues.
void takeTriangular(QuadrantPoints &points, int role, const Jacobian &j)
{
    const bool finite = std::isfinite(j.xx) && std::isfinite(j.xy) && std::isfinite(j.yx) && std::isfinite(j.yy);
    if (!finite || j.xx == 0 || j.yy == 0)
        take(points, role, EquilibriumType::NonHyperbolic);
    else if (j.xx < 0 && j.yy < 0)
        take(points, role, EquilibriumType::StableNode);
}

// The interior point, through the branches of linearise() that decide its stability, without
// the eigenvalues: a corner entry 0 makes the matrix triangular; otherwise, scaled by the same
// power of two, a negligible determinant is non-hyperbolic, a negative one a saddle, a negligible
// trace a centre (with the first integral) or non-hyperbolic, and a negative trace stable.
void takeInterior(QuadrantPoints &points, const Jacobian &j)
{
    if (j.xy == 0 || j.yx == 0) {
        takeTriangular(points, 3, j);
        return;
    }
    if (!std::isfinite(j.xx) || !std::isfinite(j.xy) || !std::isfinite(j.yx) || !std::isfinite(j.yy)) {
        take(points, 3, EquilibriumType::Undetermined);
        return;
    }
    const int exponent = frexpExponent(std::max({std::fabs(j.xx), std::fabs(j.xy), std::fabs(j.yx), std::fabs(j.yy)}));
    const double xx = timesPowerOfTwo(j.xx, -exponent), xy = timesPowerOfTwo(j.xy, -exponent);
    const double yx = timesPowerOfTwo(j.yx, -exponent), yy = timesPowerOfTwo(j.yy, -exponent);
    const double trace = xx + yy;
    const double determinant = xx * yy - xy * yx;
    const double xxTerms = std::fabs(xx), yyTerms = std::fabs(yy);
    if (isNegligible(determinant, xxTerms * yyTerms + std::fabs(xy * yx)))
        take(points, 3, EquilibriumType::NonHyperbolic);
    else if (determinant < 0)
        return;
    else if (isNegligible(trace, xxTerms + yyTerms))
        take(points, 3, j.firstIntegral ? EquilibriumType::Centre : EquilibriumType::NonHyperbolic);
    else if (trace < 0)
        take(points, 3, EquilibriumType::StableNode);
}

// The slow way, for the rare systems whose nullclines are parallel: equilibria() itself.
QuadrantPoints fromList(const Coefficients &k)
{
    QuadrantPoints points;
    for (const Equilibrium &e : equilibria(k)) {
        if (e.shape == Equilibrium::Shape::Plane) {
            points.plane = true;
        } else if (e.shape == Equilibrium::Shape::Line) {
            points.line = points.line || crossesQuadrant(e.line);
        } else if (inQuadrant(e.x, e.y)) {
            // Parallel nullclines leave no interior point: the others stand on the axes.
            const int role = e.x == 0 && e.y == 0 ? 0 : e.y == 0 ? 1 : e.x == 0 ? 2 : 3;
            take(points, role, e.type());
        }
    }
    return points;
}

// The same points as equilibria(k), in its order and with its Jacobians, without the list:
// (0, 0), (-A/B, 0), (0, -D/F) and the interior point, each left out where it is no finite
// number or stands where an earlier one does. Only those in the quadrant are linearised.
QuadrantPoints fromFormulas(const Coefficients &k, const Coefficients &s, const CrossingTerms &terms)
{
    struct Candidate {
        bool exists;
        double x, y;
    };
    std::array<Candidate, 4> candidates{};
    candidates[0] = {true, 0, 0};
    if (s.B != 0)
        candidates[1] = {true, -s.A / s.B + 0.0, 0};
    if (s.F != 0)
        candidates[2] = {true, 0, -s.D / s.F + 0.0};
    candidates[3] = {true, terms.X / terms.delta + 0.0, terms.Y / terms.delta + 0.0};

    QuadrantPoints points;
    for (int role = 0; role < 4; ++role) {
        Candidate &c = candidates[role];
        if (!c.exists || !std::isfinite(c.x) || !std::isfinite(c.y))
            continue;
        for (int earlier = 0; earlier < role && c.exists; ++earlier)
            if (candidates[earlier].exists && samePlace(candidates[earlier].x, c.x)
                && samePlace(candidates[earlier].y, c.y))
                c.exists = false;
        if (!c.exists || !inQuadrant(c.x, c.y))
            continue;
        if (role == 3) {
            Jacobian j = jacobianInside(s, c.x, c.y);
            j.firstIntegral = k.B == 0 && k.F == 0;   // as typed, as equilibria() asks
            takeInterior(points, j);
        } else {
            const Jacobian j = role == 0 ? jacobianAt(s, 0, 0)
                             : role == 1 ? jacobianOnXAxis(s, terms) : jacobianOnYAxis(s, terms);
            takeTriangular(points, role, j);
        }
    }
    return points;
}

// Also gives the crossing terms of the scaled coefficients.
QuadrantPoints quadrantPoints(const Coefficients &k, CrossingTerms &terms)
{
    if (k.A == 0 && k.B == 0 && k.C == 0 && k.D == 0 && k.E == 0 && k.F == 0) {
        QuadrantPoints plane;
        plane.plane = true;
        return plane;
    }
    const Coefficients s = scaled(k, exponentOf(k));
    terms = crossingTerms(s);
    if (terms.delta == 0)
        return fromList(k);
    QuadrantPoints points = fromFormulas(k, s, terms);
    // Both axes lie in the quadrant: a line of equilibria on either is in it.
    points.line = (k.A == 0 && k.B == 0) || (k.D == 0 && k.F == 0);
    return points;
}

} // namespace

// Growth without bound, from the terms that dominate far out.
// - On the x axis x' = x (A + B x): it grows without bound when B > 0 (x beyond -A/B), or B = 0
//   and A > 0. Likewise the y axis with F, D.
// - With B, F <= 0 and each axis bounded, far inside the quadrant x'/x ≈ B x + C y and
//   y'/y ≈ E x + F y: both grow along some ray exactly when C > 0, E > 0 and Δ = BF - CE < 0,
//   and the solutions near that ray then grow faster and faster. C <= 0 bounds x by its own
//   axis's bound (x' <= x (A + B x)) and then y; E <= 0 does the same the other way round;
//   C, E > 0 with Δ > 0 puts the two nullclines across the ray and bounds both. Δ = 0 with
//   C, E > 0 leaves it to the linear terms: undecided.
// - B = 0 with C > 0 and E = 0 (A <= 0, F < 0): y tends to y* = max(0, -D/F) whatever x does,
//   and then x'/x tends to A + C y*, so x grows without bound exactly when D > 0 and
//   X = CD - AF > 0; with X = 0, y - y* decays exponentially and x converges. With E < 0 a
//   growing x drives y to 0 faster than x can profit from it. F = 0, E > 0, C = 0 likewise.
// - A = B = 0 (or D = F = 0) makes an axis a line of equilibria, beside which growth depends on
//   the start in ways the regime does not name: undecided.
namespace {

// With the crossing terms of the scaled coefficients, as quadrantPoints() takes them.
Growth growthWith(const Coefficients &k, const CrossingTerms &terms)
{
    if (k.B > 0 || k.F > 0 || (k.B == 0 && k.A > 0) || (k.F == 0 && k.D > 0))
        return Growth::Unbounded;
    if ((k.A == 0 && k.B == 0) || (k.D == 0 && k.F == 0))
        return Growth::Undecided;
    if (k.C > 0 && k.E > 0) {
        if (terms.delta == 0)
            return Growth::Undecided;
        return terms.delta < 0 ? Growth::Unbounded : Growth::Bounded;
    }
    if (k.B == 0 && k.C > 0 && k.E == 0)
        return k.D > 0 && terms.X > 0 ? Growth::Unbounded : Growth::Bounded;
    if (k.F == 0 && k.E > 0 && k.C == 0)
        return k.A > 0 && terms.Y > 0 ? Growth::Unbounded : Growth::Bounded;
    return Growth::Bounded;
}

} // namespace

Growth growthOf(const Coefficients &k)
{
    return growthWith(k, crossingTerms(scaled(k, exponentOf(k))));
}

Regime regimeOf(const Coefficients &k)
{
    CrossingTerms terms;
    const QuadrantPoints p = quadrantPoints(k, terms);
    if (p.plane)
        return Regime::PlaneOfEquilibria;
    if (p.line)
        return Regime::LineOfEquilibria;
    const Growth growth = growthWith(k, terms);
    if (p.undecided || growth == Growth::Undecided)
        return Regime::Borderline;
    // A centre needs B = F = 0 and, at (-D/E, -A/C) inside, CE < 0 with A against C and D against
    // E in sign: one of A, D is positive, and that species alone grows as e^(At) or e^(Dt) on its
    // own invariant axis. The interior orbits are the closed level curves of the first integral,
    // and the other axis decays to the saddle at the origin, so nothing else grows.
    if (p.centre)
        return growth == Growth::Unbounded ? Regime::NeutralCyclesUnboundedOnAxis : Regime::Borderline;
    const bool unbounded = growth == Growth::Unbounded;
    const int set = (p.origin ? 1 : 0) | (p.xAxis ? 2 : 0) | (p.yAxis ? 4 : 0) | (p.interior ? 8 : 0);
    switch (set) {
    case 0: return unbounded ? Regime::Unbounded : Regime::NoAttractor;
    case 1: return unbounded ? Regime::ExtinctionOrUnbounded : Regime::Extinction;
    case 2: return unbounded ? Regime::XWinsOrUnbounded : Regime::XWins;
    case 4: return unbounded ? Regime::YWinsOrUnbounded : Regime::YWins;
    case 8: return unbounded ? Regime::CoexistenceOrUnbounded : Regime::Coexistence;
    case 6: return unbounded ? Regime::BistableOrUnbounded : Regime::Bistable;
    case 9: return unbounded ? Regime::Borderline : Regime::ExtinctionOrCoexistence;
    default: return Regime::Borderline;   // never seen: no claim is made
    }
}

const char *regimeName(Regime regime)
{
    switch (regime) {
    case Regime::Coexistence: return "coexistencia";
    case Regime::XWins: return "gana x";
    case Regime::YWins: return "gana y";
    case Regime::Bistable: return "biestable: gana quien empieza con ventaja";
    case Regime::ExtinctionOrCoexistence: return "biestable: ninguna especie sobrevive o coexisten, según el comienzo";
    case Regime::Extinction: return "ninguna especie sobrevive";
    case Regime::NeutralCyclesUnboundedOnAxis: return "ciclos neutros; sin límite sobre un eje";
    case Regime::Unbounded: return "crecimiento sin límite";
    case Regime::XWinsOrUnbounded: return "gana x o crecimiento sin límite, según el comienzo";
    case Regime::YWinsOrUnbounded: return "gana y o crecimiento sin límite, según el comienzo";
    case Regime::CoexistenceOrUnbounded: return "coexistencia o crecimiento sin límite, según el comienzo";
    case Regime::ExtinctionOrUnbounded: return "ninguna especie sobrevive o crecimiento sin límite, según el comienzo";
    case Regime::BistableOrUnbounded: return "gana x, gana y o crecimiento sin límite, según el comienzo";
    case Regime::NoAttractor: return "ningún equilibrio atrae y todo queda acotado";
    case Regime::Borderline: return "caso límite: la linealización o la parte cuadrática no deciden";
    case Regime::LineOfEquilibria: return "recta de equilibrios";
    case Regime::PlaneOfEquilibria: return "plano de equilibrios";
    }
    return "";
}

namespace {

// The closed forms the regime depends on. Each is a product of at most one of each coefficient
// (X = CD - AF, Y = AE - BD, Δ = BF - CE and the interior point's trace times Δ, BX + FY), so
// along one coefficient each is a straight line in it, with at most one zero. The coordinates
// and determinants of the points are products and quotients of A, D, X, Y over B, F, Δ; the
// axis points' Jacobians are triangular, so their traces decide nothing their diagonals do not;
// the interior's discriminant parts a node from a focus of the same stability; growthOf reads
// the signs of A..F, X, Y and Δ.
constexpr int kQuantities = 10;

double quantity(int index, const std::array<double, 6> &c)
{
    const double A = c[0], B = c[1], C = c[2], D = c[3], E = c[4], F = c[5];
    switch (index) {
    case 6: return C * D - A * F;
    case 7: return A * E - B * D;
    case 8: return B * F - C * E;
    case 9: return B * (C * D - A * F) + F * (A * E - B * D);
    default: return c[index];
    }
}

int signOf(double v)
{
    return (v > 0) - (v < 0);
}

} // namespace

std::vector<double> regimeBoundaries(const Coefficients &k, int coefficient, double from, double to)
{
    std::vector<double> zeros;
    if (coefficient < 0 || coefficient > 5 || !std::isfinite(from) || !std::isfinite(to) || !(from < to))
        return zeros;
    std::array<double, 6> c{k.A, k.B, k.C, k.D, k.E, k.F};
    const auto at = [&c, coefficient](int q, double p) {
        c[coefficient] = p;
        return quantity(q, c);
    };
    for (int q = 0; q < kQuantities; ++q) {
        double low = from, high = to;
        const int lowSign = signOf(at(q, low)), highSign = signOf(at(q, high));
        // Zero all along changes nothing; a zero at an end of the range lies on its edge.
        if (lowSign == 0 || highSign == 0 || lowSign == highSign)
            continue;
        if (low < 0 && high > 0 && at(q, 0) == 0) {   // at a coefficient's own zero, exactly
            zeros.push_back(0);
            continue;
        }
        // Halving to neighbouring doubles: about 60 steps from a bracket of ordinary numbers,
        // at most some 2100 from the widest.
        for (int step = 0; step < 2100; ++step) {
            const double middle = low + (high - low) / 2;
            if (middle <= low || middle >= high)
                break;
            const int sign = signOf(at(q, middle));
            if (sign == 0) {
                low = high = middle;
                break;
            }
            (sign == lowSign ? low : high) = middle;
        }
        zeros.push_back(low + (high - low) / 2);
    }
    std::sort(zeros.begin(), zeros.end());
    zeros.erase(std::unique(zeros.begin(), zeros.end()), zeros.end());

    // The regime holds between neighbouring zeros: read it halfway, and keep a zero where the
    // regimes on its two sides differ.
    std::vector<double> kept;
    const auto regimeAt = [&k, coefficient](double p) { return regimeOf(withCoefficient(k, coefficient, p)); };
    if (zeros.empty())
        return kept;
    Regime before = regimeAt(from + (zeros.front() - from) / 2);
    for (std::size_t i = 0; i < zeros.size(); ++i) {
        const double next = i + 1 < zeros.size() ? zeros[i + 1] : to;
        const Regime after = next > zeros[i] ? regimeAt(zeros[i] + (next - zeros[i]) / 2) : before;
        if (after != before)
            kept.push_back(zeros[i]);
        before = after;
    }
    return kept;
}
