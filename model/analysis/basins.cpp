#include "model/analysis/basins.h"

#include "model/analysis/first_integral.h"
#include "model/analysis/linearisation.h"
#include "model/analysis/lyapunov.h"

#include <cfloat>
#include <cmath>
#include <numbers>

namespace basins {

namespace {

// The integrator's step. Each step is the shorter of two: the time in which the point moves
// kStepLength units at its present speed, which keeps RK4's error far below a pixel of the
// designed view (about 1e-4 units over a whole trajectory there), and kStability over a bound
// of the Jacobian's size (the sum of its entries' sizes, at least its spectral radius), which
// keeps the step inside RK4's region of stability where the point hardly moves, near an
// equilibrium. No step passes the time limit.
constexpr double kStepLength = 0.05;
constexpr double kStability = 0.5;
// Beyond the square only the fate matters, not a pixel: the length grows with the square of the
// distance, up to kFarShare of it, so that a trajectory reaches the escape bound in some hundreds
// of steps. There the Jacobian's size is a bound of its spectral radius alone: an entry such as
// C x grows with x even where y, and so the rate it stands for, has died out.
constexpr double kFarShare = 0.05;
// Bounded work: no trajectory takes more steps than this. Each step is at least the time still
// left over the steps still left, so that the count reaches the time limit, as long as that step
// stays within kStable over the Jacobian's spectral radius: RK4's region of stability holds the
// left half-disc of radius 2.5.
constexpr int kMaxSteps = 20000;
constexpr double kStable = 2;
// A trajectory takes the label of a computed cell it passes within this share of a cell of, in
// each direction: within a pixel of it.
constexpr double kPassShare = 0.7;
// A coordinate whose terms in the other's rate are below this share of that rate has died out.
constexpr double kNegligible = 1e-16;
// The time limit: this many time constants of the slowest attractor (1 / its slowest rate).
// Without attractors only escaping is possible: this many times the largest rate of any
// equilibrium, a few turns around a centre. Without any rate at all, 60 time units.
constexpr double kTimeConstants = 60;
// The region of certain convergence is taken a little inside the largest one the bound gives.
constexpr double kRegionShare = 0.81;

struct Field {
    double fx, fy;
};

Field field(const Coefficients &k, double x, double y)
{
    return {x * (k.A + k.B * x + k.C * y), y * (k.D + k.E * x + k.F * y)};
}

// The step at (x, y) with `stepsLeft` steps left, or 0 when the field there is no finite number.
double stepAt(const Coefficients &k, double x, double y, const Field &f, double remaining, int stepsLeft)
{
    const double xx = k.A + k.B * x * 2 + k.C * y, xy = k.C * x, yx = k.E * y, yy = k.D + k.E * x + k.F * y * 2;
    const double distance = std::max(std::fabs(x), std::fabs(y));
    const bool inside = distance < kBound;
    // |λ| <= |trace| / 2 + √|trace² / 4 − det| for either eigenvalue, real or complex.
    const double half = (xx + yy) / 2;
    // On an axis beyond the square only the rate along it counts: the other coordinate stays 0.
    const double radius = y == 0   ? std::fabs(xx)
                          : x == 0 ? std::fabs(yy)
                                   : std::fabs(half) + std::sqrt(std::fabs(half * half - (xx * yy - xy * yx)));
    const double jacobianSize = inside ? std::fabs(xx) + std::fabs(xy) + std::fabs(yx) + std::fabs(yy) : radius;
    const double length =
        inside ? kStepLength : std::min(kStepLength * (distance / kBound) * (distance / kBound), kFarShare * distance);
    const double speed = std::hypot(f.fx, f.fy);
    double h = remaining;
    if (jacobianSize > 0)
        h = std::min(h, kStability / jacobianSize);
    if (speed > 0)
        h = std::min(h, length / speed);
    double least = remaining / stepsLeft;
    if (radius > 0)
        least = std::min(least, kStable / radius);
    h = std::max(h, least);
    if (!std::isfinite(h) || !(h > 0) || !std::isfinite(speed) || !std::isfinite(jacobianSize) || !std::isfinite(radius))
        return 0;
    return h;
}

// One classical RK4 step of length h.
void rk4Step(const Coefficients &k, double &x, double &y, const Field &f1, double h)
{
    const Field f2 = field(k, x + h / 2 * f1.fx, y + h / 2 * f1.fy);   // k2 at the midpoint by k1
    const Field f3 = field(k, x + h / 2 * f2.fx, y + h / 2 * f2.fy);   // k3 at the midpoint by k2
    const Field f4 = field(k, x + h * f3.fx, y + h * f3.fy);           // k4 at the end by k3
    x += h / 6 * (f1.fx + 2 * f2.fx + 2 * f3.fx + f4.fx);
    y += h / 6 * (f1.fy + 2 * f2.fy + 2 * f3.fy + f4.fy);
}

double det3(const double m[3][3])
{
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
         + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// The region of certain convergence around a stable equilibrium at offset z from it. The field
// is f = J z + g(z) with g(z) = (z₁ (B z₁ + C z₂), z₂ (E z₁ + F z₂)), so |g(z)| <= M |z|² with
// M = √(B² + C² + E² + F²). With P the solution of Jᵀ P + P J = -I (positive definite, as J is
// stable) and V(z) = zᵀ P z, dV/dt = -|z|² + 2 zᵀ P g(z) <= -|z|² (1 - 2 λmax(P) M |z|), negative
// for 0 < |z| < r₀ = 1 / (2 λmax(P) M). The set V < λmin(P) r₀² lies inside that disc, so no
// trajectory leaves it and V falls along each one to 0: every point in it tends to the
// equilibrium. J is scaled by its largest entry first, so that no product overflows.
void convergenceRegion(const Coefficients &k, Attractor &a)
{
    const Jacobian jac = jacobianAt(k, a.x, a.y);
    const double s = std::max({std::fabs(jac.xx), std::fabs(jac.xy), std::fabs(jac.yx), std::fabs(jac.yy)});
    if (!std::isfinite(s) || !(s > 0))
        return;
    const double ja = jac.xx / s, jb = jac.xy / s, jc = jac.yx / s, jd = jac.yy / s;
    // Jᵀ P + P J = -I for P = [[p, q], [q, r]], by Cramer's rule.
    const double m[3][3] = {{2 * ja, 2 * jc, 0}, {jb, ja + jd, jc}, {0, 2 * jb, 2 * jd}};
    const double rhs[3] = {-1, 0, -1};
    const double d = det3(m);
    if (!std::isfinite(d) || d == 0)
        return;
    double solution[3];
    for (int column = 0; column < 3; ++column) {
        double replaced[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                replaced[i][j] = j == column ? rhs[i] : m[i][j];
        solution[column] = det3(replaced) / d;
    }
    // P of the scaled J, and its eigenvalues; P of J itself is this over s.
    const double p = solution[0], q = solution[1], r = solution[2];
    const double mean = (p + r) / 2, spread = std::hypot((p - r) / 2, q);
    const double largest = mean + spread, smallest = mean - spread;
    if (!std::isfinite(largest) || !(smallest > 0))
        return;
    const double bound = std::sqrt(k.B * k.B + k.C * k.C + k.E * k.E + k.F * k.F);
    // r₀ = s / (2 λmax M); at most the size of the square, which every trajectory that stays leaves
    // unmeasured anyway.
    double radius = 4 * kBound;
    if (bound > 0)
        radius = std::min(radius, s / (2 * largest * bound));
    double level = smallest / s * radius * radius * kRegionShare;
    // Direction by direction the disc is far too cautious: at z = ρ e, |e| = 1, dV/dt = −ρ² +
    // 2 ρ³ c(θ) with c(θ) = eᵀ P g(e), negative for ρ < 1 / (2 c(θ)), so V < L lies where V falls
    // when L <= eᵀ P e / (4 c(θ)²) wherever c(θ) > 0. Both are trigonometric polynomials, of
    // degree 2 and 3, so their slopes are at most 2 λmax and 3 λmax M (Bernstein): between the
    // sampled directions each is bounded by its sample and that slope over half the spacing.
    // In the scaled frame, eᵀ P e and c(θ) are s times those of P over s, so L is s times the
    // least of these ratios there.
    if (bound > 0) {
        constexpr int kDirections = 360;
        const double halfSpacing = std::numbers::pi / kDirections;
        double least = INFINITY;
        for (int i = 0; i < kDirections; ++i) {
            const double angle = 2 * std::numbers::pi * i / kDirections;
            const double e1 = std::cos(angle), e2 = std::sin(angle);
            const double g1 = e1 * (k.B * e1 + k.C * e2), g2 = e2 * (k.E * e1 + k.F * e2);
            const double form = std::max(smallest, p * e1 * e1 + 2 * q * e1 * e2 + r * e2 * e2 - halfSpacing * 2 * largest);
            const double cubic = (p * e1 + q * e2) * g1 + (q * e1 + r * e2) * g2 + halfSpacing * 3 * largest * bound;
            if (cubic > 0)
                least = std::min(least, form / (4 * cubic * cubic));
        }
        const double directional = std::min(s * least, smallest / s * 4 * kBound * 4 * kBound) * kRegionShare;
        if (std::isfinite(directional))
            level = std::max(level, directional);
    }
    if (!std::isfinite(level) || !(level > 0) || !std::isfinite(p / s) || !std::isfinite(q / s) || !std::isfinite(r / s))
        return;
    a.p = p / s;
    a.q = q / s;
    a.r = r / s;
    a.level = level;
}

// The label of the cell of the lattice of spacing S nearest (x, y) when (x, y) lies within
// kPassShare of a cell of its point and the 3 × 3 cells of the lattice around it share the label;
// kUnknown otherwise, or when some is unknown or lies off the grid. A uniform block alone proves
// nothing of its inside, where a basin's tongue thinner than the lattice may lie; a point this
// close to a cell's point has its fate unless a boundary passes between them, within a pixel.
Label passingCell(const Map &known, int spacing, double x, double y)
{
    const Grid &g = known.grid;
    const double column = (x - g.left) / (g.right - g.left) * g.width - 0.5;
    const double row = (g.top - y) / (g.top - g.bottom) * g.height - 0.5;
    if (!(column >= 0 && column <= g.width - 1 && row >= 0 && row <= g.height - 1))
        return kUnknown;
    const int nc = int(std::lround(column / spacing)) * spacing;
    const int nr = int(std::lround(row / spacing)) * spacing;
    // A cell on an axis has its axis's fate, not that of the points beside it.
    if (!(std::fabs(column - nc) <= kPassShare && std::fabs(row - nr) <= kPassShare) || g.x(nc) == 0 || g.y(nr) == 0)
        return kUnknown;
    if (nc - spacing < 0 || nr - spacing < 0 || nc + spacing >= g.width || nr + spacing >= g.height)
        return kUnknown;
    const Label label = known.at(nc, nr);
    if (label == kUnknown)
        return kUnknown;
    for (int dr = -spacing; dr <= spacing; dr += spacing)
        for (int dc = -spacing; dc <= spacing; dc += spacing)
            if (known.at(nc + dc, nr + dr) != label)
                return kUnknown;
    return label;
}

// Beyond the square, a coordinate that has died out and keeps dying out is put on its axis: say
// y, when C y and F y are below 1e-16 of x's own rate, y's rate is negative, and x moves so as
// to make it more negative (E x' <= 0). Otherwise that rate, growing with x, would hold RK4's
// steps to the reciprocal of x while x runs away along the axis. Returns whether it did.
bool settleOnAxis(const Coefficients &k, double &x, double &y, const Field &f)
{
    const auto diedOut = [](double own, double cross, double own2, double rate, double towards) {
        return own != 0 && std::fabs(own) * cross <= kNegligible * own2 && rate < 0 && towards <= 0;
    };
    if (diedOut(y, std::fabs(k.C) + std::fabs(k.F), std::fabs(k.A) + std::fabs(k.B * x),
                k.D + k.E * x + k.F * y, k.E * f.fx)) {
        y = 0;
        return true;
    }
    if (diedOut(x, std::fabs(k.B) + std::fabs(k.E), std::fabs(k.D) + std::fabs(k.F * y),
                k.A + k.B * x + k.C * y, k.C * f.fy)) {
        x = 0;
        return true;
    }
    return false;
}

template <typename Stop>
Label follow(const BasinSystem &system, double x, double y, Stop stop)
{
    if (!system.finite)
        return kNone;
    const Coefficients &k = system.coefficients;
    double t = 0;
    for (int steps = 0; steps < kMaxSteps; ++steps) {
        if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) >= system.escapeBound
            || std::fabs(y) >= system.escapeBound)
            return kEscapes;
        if (const Label label = stop(x, y); label != kUnknown)
            return label;
        const double remaining = system.timeLimit - t;
        if (!(remaining > 0))
            return kNone;
        Field f = field(k, x, y);
        if (std::max(std::fabs(x), std::fabs(y)) >= kBound && settleOnAxis(k, x, y, f))
            f = field(k, x, y);
        const double h = stepAt(k, x, y, f, remaining, kMaxSteps - steps);
        if (h == 0)
            return kNone;
        rk4Step(k, x, y, f, h);
        t += h;
    }
    return kNone;
}

// The attractor at (x, y), or kNone when no attractor lies there.
Label attractorAt(const BasinSystem &system, double x, double y)
{
    for (std::size_t i = 0; i < system.attractors.size(); ++i) {
        const Attractor &a = system.attractors[i];
        if (std::fabs(a.x - x) <= 1e-12 * std::fabs(x) && std::fabs(a.y - y) <= 1e-12 * std::fabs(y))
            return Label(i);
    }
    return kNone;
}

// The fate of a point at `position` on an invariant axis, where position' = position (a + b
// position): it moves towards the next root of that (0 or −a/b) on its side, and grows without
// bound when there is none. The root reached counts when it is an attractor of the plane.
Label fateOnAxis(const BasinSystem &system, double position, double a, double b, bool alongX)
{
    const double direction = position * (a + b * position);
    const double root = b != 0 ? -a / b : NAN;
    double target = NAN;
    if (direction == 0)
        target = position;
    else {
        // The nearest root ahead, if any: 0 always lies on the far side of a point moving away
        // from it.
        for (const double candidate : {0.0, root})
            if (std::isfinite(candidate) && (candidate - position) * direction > 0
                && !(std::fabs(candidate - position) >= std::fabs(target - position)))
                target = candidate;
        if (std::isnan(target))
            return kEscapes;
    }
    return alongX ? attractorAt(system, target, 0) : attractorAt(system, 0, target);
}

// At the finest level, the label that the cells one pixel away, two or four of the level before
// (left and right, above and below, or the four corners), all share; kUnknown when they differ or
// some lies off the grid. Where it is wrong a boundary passes between the cell and one of them:
// the cell lies within a pixel of it, and so would a feature thinner than two pixels.
Label sharedByNeighbours(const Map &known, int column, int row)
{
    const Grid &g = known.grid;
    const int dc = column % 2, dr = row % 2;   // 1 along a direction where it lies between two
    const int corners[4][2] = {{-dc, -dr}, {dc, dr}, {-dc, dr}, {dc, -dr}};
    Label label = kUnknown;
    for (const auto &[oc, orow] : corners) {
        const int c = column + oc, r = row + orow;
        if (c < 0 || r < 0 || c >= g.width || r >= g.height)
            return kUnknown;
        const Label neighbour = known.at(c, r);
        if (neighbour == kUnknown || (label != kUnknown && neighbour != label))
            return kUnknown;
        label = neighbour;
    }
    return label;
}

} // namespace

// Multiplying all six coefficients by one number only changes the speed along each trajectory:
// the map is computed for them scaled by a power of two (exact) so that the largest is near 1,
// where no product or norm of them leaves the range of a double, in the time of that system.
BasinSystem basinSystem(const Coefficients &k, const std::vector<Equilibrium> &equilibria)
{
    BasinSystem system;
    system.finite = std::isfinite(k.A) && std::isfinite(k.B) && std::isfinite(k.C) && std::isfinite(k.D)
                    && std::isfinite(k.E) && std::isfinite(k.F);
    int exponent = 0;
    if (system.finite)
        std::frexp(std::max({std::fabs(k.A), std::fabs(k.B), std::fabs(k.C), std::fabs(k.D), std::fabs(k.E),
                             std::fabs(k.F)}),
                   &exponent);
    const auto scaled = [exponent](double value) { return std::ldexp(value, -exponent); };
    system.coefficients = {scaled(k.A), scaled(k.B), scaled(k.C), scaled(k.D), scaled(k.E), scaled(k.F)};
    const Coefficients &s = system.coefficients;
    double slowest = INFINITY, fastest = 0, size = kBound;
    bool centre = false;
    for (std::size_t i = 0; i < equilibria.size(); ++i) {
        const Equilibrium &e = equilibria[i];
        if (e.shape != Equilibrium::Shape::Point || !std::isfinite(e.x) || !std::isfinite(e.y))
            continue;
        size = std::max({size, std::fabs(e.x), std::fabs(e.y)});
        centre = centre || (e.x > 0 && e.y > 0 && e.type() == EquilibriumType::Centre);
        // The rates of the scaled system, which stay in range where those of k may not.
        const Eigenvalues ev = linearise(jacobianAt(s, e.x, e.y)).eigenvalues;
        if (!ev.representable)
            continue;
        fastest = std::max({fastest, std::fabs(ev.first), std::fabs(ev.second), std::fabs(ev.imaginary)});
        if (!isStable(e.type()))
            continue;
        Attractor a;
        a.x = e.x;
        a.y = e.y;
        a.equilibrium = i;
        convergenceRegion(s, a);
        system.attractors.push_back(a);
        slowest = std::min(slowest, std::fabs(ev.first));
    }
    double rate = system.attractors.empty() ? fastest : slowest;
    if (!std::isfinite(rate) || !(rate > 0))
        rate = 1;
    system.timeLimit = std::min(kTimeConstants / rate, DBL_MAX);
    system.escapeBound = std::min(kEscapeFactor * size, DBL_MAX);
    // The proofs for the whole open quadrant, which the axes bound and no trajectory crosses.
    if (system.finite && hasFirstIntegral(k)) {
        if (centre)
            system.openQuadrant = kClosed;
    } else if (system.finite) {
        if (const std::optional<LyapunovFunction> v = gohLyapunovFunction(k))
            for (std::size_t i = 0; i < system.attractors.size(); ++i)
                if (system.attractors[i].x == v->x && system.attractors[i].y == v->y)
                    system.openQuadrant = Label(i);
    }
    return system;
}

bool inLevel(int column, int row, int spacing)
{
    if (column % spacing != 0 || row % spacing != 0)
        return false;
    return spacing == kLevels[0] || column % (2 * spacing) != 0 || row % (2 * spacing) != 0;
}

Label fate(const BasinSystem &system, double x, double y, const Map *known, int knownSpacing)
{
    if (system.finite && system.openQuadrant != kUnknown && x > 0 && y > 0)
        return system.openQuadrant;
    if (system.finite && (x == 0 || y == 0))
        return y == 0 ? fateOnAxis(system, x, system.coefficients.A, system.coefficients.B, true)
                      : fateOnAxis(system, y, system.coefficients.D, system.coefficients.F, false);
    return follow(system, x, y, [&](double px, double py) {
        for (std::size_t i = 0; i < system.attractors.size(); ++i)
            if (system.attractors[i].contains(px, py))
                return Label(i);
        if (known && knownSpacing > 0)
            return passingCell(*known, knownSpacing, px, py);
        return kUnknown;
    });
}

Label settledFate(const BasinSystem &system, double x, double y)
{
    return follow(system, x, y, [&](double px, double py) {
        for (std::size_t i = 0; i < system.attractors.size(); ++i) {
            const Attractor &a = system.attractors[i];
            if (std::hypot(px - a.x, py - a.y) <= 1e-9 * (1 + std::fabs(a.x) + std::fabs(a.y)))
                return Label(i);
        }
        return kUnknown;
    });
}

void computeRow(const BasinSystem &system, Map &map, int spacing, int row, const std::atomic<bool> &cancelled)
{
    const Grid &g = map.grid;
    if (row < 0 || row >= g.height)
        return;
    const bool coarsest = spacing == kLevels[0];
    for (int column = 0; column < g.width; column += spacing) {
        if (!inLevel(column, row, spacing))
            continue;
        if (cancelled.load(std::memory_order_relaxed))
            return;
        const double x = g.x(column), y = g.y(row);
        Label label = spacing == 1 && x != 0 && y != 0 ? sharedByNeighbours(map, column, row) : kUnknown;
        if (label == kUnknown)
            label = fate(system, x, y, coarsest ? nullptr : &map, 2 * spacing);
        map.labels[std::size_t(row) * std::size_t(g.width) + std::size_t(column)] = label;
    }
}

void computeMap(const BasinSystem &system, Map &map, const std::atomic<bool> &cancelled)
{
    for (const int spacing : kLevels)
        for (int row = 0; row < map.grid.height; row += spacing)
            computeRow(system, map, spacing, row, cancelled);
}

} // namespace basins
