#include "model/analysis/bifurcation.h"

#include "model/analysis/equilibria.h"
#include "model/analysis/type_names.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>
#include <utility>

namespace {

constexpr int kMaxColumns = 1 << 20;

int signOf(double value)
{
    return (value > 0) - (value < 0);
}

// The number of eigenvalues with a positive real part, or -1 where the linearisation does not
// decide. Two equilibria that meet and swap it exchange their stability.
int unstableDirections(EquilibriumType type)
{
    switch (type) {
    case EquilibriumType::Saddle: return 1;
    case EquilibriumType::Centre:
    case EquilibriumType::NonHyperbolic:
    case EquilibriumType::Undetermined:
    case EquilibriumType::LineOfEquilibria:
    case EquilibriumType::PlaneOfEquilibria: return -1;
    default: return isStable(type) ? 0 : 2;
    }
}

// The point (x, y) with the Jacobian equilibria() takes for its kind.
CurvePoint pointAt(const Jacobian &jacobian, double x, double y, int branch)
{
    CurvePoint p;
    if (!std::isfinite(x) || !std::isfinite(y))
        return p;
    p.exists = true;
    p.branch = branch;
    p.x = x + 0.0;   // -0 becomes 0
    p.y = y + 0.0;
    p.type = linearise(jacobian).type;
    p.stable = isStable(p.type);
    p.neutral = unstableDirections(p.type) < 0;
    return p;
}

// A polynomial in what varies, lowest power first. Along one coefficient every other one is
// constant and that one is linear, so the closed forms below are polynomials of degree at most 4.
// Along a path each coefficient is affine in q: in each product of a watched quantity at most
// four factors come from either group, (A, B, C) or (D, E, F), so it stays of degree at most 4
// in q where the path moves the coefficients of one group only (see movesOneGroup).
struct Polynomial {
    static constexpr int kTerms = 5;
    std::array<double, kTerms> c{};

    double operator()(double p) const
    {
        double value = 0;
        for (int i = kTerms - 1; i >= 0; --i)
            value = value * p + c[i];
        return value;
    }
    Polynomial derivative() const
    {
        Polynomial d;
        for (int i = 1; i < kTerms; ++i)
            d.c[i - 1] = i * c[i];
        return d;
    }
    int degree() const
    {
        for (int i = kTerms - 1; i > 0; --i)
            if (c[i] != 0)
                return i;
        return 0;
    }
    friend Polynomial operator+(Polynomial a, const Polynomial &b)
    {
        for (int i = 0; i < kTerms; ++i)
            a.c[i] += b.c[i];
        return a;
    }
    friend Polynomial operator-(Polynomial a, const Polynomial &b)
    {
        for (int i = 0; i < kTerms; ++i)
            a.c[i] -= b.c[i];
        return a;
    }
    friend Polynomial operator*(const Polynomial &a, const Polynomial &b)
    {
        Polynomial product;
        for (int i = 0; i < kTerms; ++i)
            for (int j = 0; i + j < kTerms; ++j)
                product.c[i + j] += a.c[i] * b.c[j];
        return product;
    }
    friend Polynomial operator*(double a, Polynomial b)
    {
        for (double &term : b.c)
            term *= a;
        return b;
    }
};

// What is watched for a change of type. A quantity is taken times a power of its equilibrium's
// denominator (B, F or Δ), which leaves its zeros where the equilibrium exists and makes it a
// polynomial in the coefficient. The discriminant of a point on an axis is a square: it never
// changes sign, and is not watched.
struct Watch {
    TypeChange::Kind kind;
    EquilibriumRole role;
    EquilibriumRole other;
};

using R = EquilibriumRole;
using K = TypeChange::Kind;

// Meetings first: where one is found, the other changes at the same place say nothing new.
constexpr Watch kWatches[] = {
    {K::Meeting, R::Interior, R::XAxis},    // y of the interior point is 0: AE - BD = 0
    {K::Meeting, R::Interior, R::YAxis},    // x of the interior point is 0: CD - AF = 0
    {K::Meeting, R::XAxis, R::Origin},      // A = 0
    {K::Meeting, R::YAxis, R::Origin},      // D = 0
    {K::Determinant, R::Origin, R::Origin},  {K::Determinant, R::XAxis, R::XAxis},
    {K::Determinant, R::YAxis, R::YAxis},    {K::Determinant, R::Interior, R::Interior},
    {K::Trace, R::Origin, R::Origin},        {K::Trace, R::XAxis, R::XAxis},
    {K::Trace, R::YAxis, R::YAxis},          {K::Trace, R::Interior, R::Interior},
    {K::Discriminant, R::Interior, R::Interior},
};

// The watched quantity from the coefficients A..F, as numbers or as polynomials. At (-A/B, 0)
// J = [[-A, -CA/B], [0, D - EA/B]]; at (0, -D/F) J = [[A - CD/F, 0], [-ED/F, -D]]; at the
// interior point (X/Δ, Y/Δ), X = CD - AF, Y = AE - BD, J = [[Bx, Cx], [Ey, Fy]]: trace
// (BX + FY)/Δ, determinant XY/Δ, discriminant ((BX - FY)² + 4CE XY)/Δ².
template <typename T>
T watched(const Watch &watch, const std::array<T, 6> &k)
{
    const T &A = k[0], &B = k[1], &C = k[2], &D = k[3], &E = k[4], &F = k[5];
    const T X = C * D - A * F, Y = A * E - B * D;
    switch (watch.kind) {
    case K::Meeting:
        switch (watch.other) {
        case R::XAxis: return Y;
        case R::YAxis: return X;
        default: return watch.role == R::XAxis ? A : D;
        }
    case K::Determinant:
        switch (watch.role) {
        case R::Origin: return A * D;
        case R::XAxis: return A * (E * A - D * B);
        case R::YAxis: return D * X;
        case R::Interior: return X * Y;
        }
        break;
    case K::Trace:
        switch (watch.role) {
        case R::Origin: return A + D;
        case R::XAxis: return D * B - A * B - E * A;
        case R::YAxis: return A * F - C * D - D * F;
        case R::Interior: return B * X + F * Y;
        }
        break;
    case K::Discriminant: {
        const T difference = B * X - F * Y;
        return difference * difference + 4.0 * (C * E) * (X * Y);
    }
    }
    return A - A;
}

std::array<double, 6> numbersAt(const CoefficientPath &path, double p)
{
    const Coefficients at = path.at(p);
    return {at.A, at.B, at.C, at.D, at.E, at.F};
}

// The coefficients in q.
std::array<Polynomial, 6> polynomialsOf(const CoefficientPath &path)
{
    std::array<Polynomial, 6> terms;
    for (std::size_t index = 0; index < 6; ++index) {
        terms[index].c[0] = path.constant[index];
        terms[index].c[1] = path.slope[index];
    }
    return terms;
}

// Whether the path's closed forms have degree 4 at most: it moves (A, B, C) or (D, E, F), not both.
bool movesOneGroup(const CoefficientPath &path)
{
    const auto moves = [&](std::size_t first) {
        return path.slope[first] != 0 || path.slope[first + 1] != 0 || path.slope[first + 2] != 0;
    };
    return !(moves(0) && moves(3));
}

// Whether the path is followed at p: it contains p, and a reciprocal path only where p > 0.
bool follows(const CoefficientPath &path, double p)
{
    return path.contains(p) && (!path.reciprocal || p > 0);
}

// Where f, of opposite signs at low and high, is zero: halving the bracket down to
// neighbouring doubles, or to a value where f is exactly 0. Nothing where f is no number.
template <typename Function>
std::optional<double> bisect(const Function &f, double low, double high, int lowSign)
{
    // Each halving takes one bit off the bracket: about 2100 reach neighbouring doubles from
    // any bracket, the widest included.
    for (int step = 0; step < 2100; ++step) {
        const double middle = low + (high - low) / 2;
        if (middle <= low || middle >= high)
            break;
        const double value = f(middle);
        if (std::isnan(value))
            return std::nullopt;
        const int sign = signOf(value);
        if (sign == 0)
            return middle;
        (sign == lowSign ? low : high) = middle;
    }
    return low + (high - low) / 2;
}

// The sign changes of f over [low, high], given the points between which it is monotone, and
// the points where it is exactly 0. Where f is no number (beyond the range of a double) nothing
// is found.
template <typename Function>
void signChanges(const Function &f, std::vector<double> pieces, double low, double high, std::vector<double> &roots)
{
    pieces.push_back(low);
    pieces.push_back(high);
    std::sort(pieces.begin(), pieces.end());
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
        const double a = pieces[i], b = pieces[i + 1];
        const double fa = f(a), fb = f(b);
        if (fa == 0) {
            roots.push_back(a);
        } else if (signOf(fa) * signOf(fb) < 0) {
            if (const auto root = bisect(f, a, b, signOf(fa)))
                roots.push_back(*root);
        }
    }
    if (f(high) == 0)
        roots.push_back(high);
}

// The points in [low, high] where the polynomial is zero with a change of sign or has a turning
// point: its turning points come from its derivative, one degree lower, down to a line.
std::vector<double> criticalPoints(const Polynomial &p, double low, double high)
{
    std::vector<double> points;
    if (p.degree() <= 1)
        return points;
    const Polynomial slope = p.derivative();
    signChanges(slope, criticalPoints(slope, low, high), low, high, points);
    return points;
}

// The values of p in [low, high] between which a polynomial in q is monotone. For a reciprocal
// path, 0 < low: q = 1/p runs over [1/high, 1/low], and is monotone in p.
std::vector<double> monotonePieces(const CoefficientPath &path, const Polynomial &p, double low, double high)
{
    if (!path.reciprocal)
        return criticalPoints(p, low, high);
    std::vector<double> pieces = criticalPoints(p, 1 / high, 1 / low);
    for (double &piece : pieces)
        piece = std::clamp(1 / piece, low, high);
    return pieces;
}

// The values in [low, high] where the watched quantity changes sign or is zero: between its
// critical points it is monotone, and each sign change is located on the closed form itself.
std::vector<double> zerosOf(const CoefficientPath &path, const Watch &watch, double low, double high)
{
    const Polynomial p = watched(watch, polynomialsOf(path));
    std::vector<double> zeros;
    if (p.degree() == 0 && p.c[0] == 0)
        return zeros;   // zero all along: nothing changes
    const auto f = [&](double value) { return watched(watch, numbersAt(path, value)); };
    signChanges(f, monotonePieces(path, p, low, high), low, high, zeros);
    return zeros;
}

// A type that holds at single values only, between breaks: two equal eigenvalues of an axis
// point (its discriminant is a square, never changing sign, so not watched), or a zero of a
// watched quantity that touches 0 without a change of sign. Also the type of a whole range.
bool holdsAtSingleValues(EquilibriumType type)
{
    switch (type) {
    case EquilibriumType::StableDegenerateNode:
    case EquilibriumType::UnstableDegenerateNode:
    case EquilibriumType::StableStarNode:
    case EquilibriumType::UnstableStarNode:
    case EquilibriumType::Centre:
    case EquilibriumType::NonHyperbolic: return true;
    default: return false;
    }
}

// A value between a change at `value` and its neighbouring break, where the equilibrium of
// `role` has the type it has all the way between them: halfway, unless a single value of
// another type lies there (B = 1.5 halfway from 0 to 3 for a node with equal eigenvalues only
// there), then at a second place, an irrational part of the way from the first.
double sampleBeside(const CoefficientPath &path, EquilibriumRole role, double value, double neighbour)
{
    const double halfway = value + (neighbour - value) / 2;
    if (!holdsAtSingleValues(equilibriumOfRole(path.at(halfway), role).type))
        return halfway;
    const double second = value + (neighbour - value) * 0.3819660112501051;   // (3 - √5) / 2
    const CurvePoint there = equilibriumOfRole(path.at(second), role);
    return there.exists && !holdsAtSingleValues(there.type) ? second : halfway;
}

bool involves(const TypeChange &change, EquilibriumRole role)
{
    return change.role == role || (change.kind == K::Meeting && change.other == role);
}

// The change at `value`, with the types on either side taken at `below` and `above`, where no
// watched quantity is zero. Nothing when the type does not change (a trace through zero in a
// saddle, for instance) or the equilibrium does not exist there.
std::optional<TypeChange> changeAt(const CoefficientPath &path, const Watch &watch, double value, double below,
                                   double above)
{
    TypeChange change;
    change.kind = watch.kind;
    change.value = value;
    change.role = watch.role;
    change.other = watch.other;
    const Coefficients at = path.at(value);
    const Coefficients kBelow = path.at(below);
    const Coefficients kAbove = path.at(above);
    const CurvePoint roleBelow = equilibriumOfRole(kBelow, watch.role);
    const CurvePoint roleAbove = equilibriumOfRole(kAbove, watch.role);
    change.before = roleBelow.type;
    change.after = roleAbove.type;

    const CurvePoint where = equilibriumOfRole(at, watch.kind == K::Meeting ? watch.other : watch.role);
    if (!where.exists || !equilibriumOfRole(at, watch.role).exists)
        return std::nullopt;
    change.x = where.x;
    change.y = where.y;

    if (watch.kind != K::Meeting)
        return change.before == change.after ? std::nullopt : std::optional(change);
    const auto directions = [](const CurvePoint &p) { return p.exists ? unstableDirections(p.type) : -1; };
    const int roleDown = directions(roleBelow), roleUp = directions(roleAbove);
    const int otherDown = directions(equilibriumOfRole(kBelow, watch.other));
    const int otherUp = directions(equilibriumOfRole(kAbove, watch.other));
    change.exchange = roleDown >= 0 && roleUp >= 0 && roleDown != roleUp && roleDown == otherUp && roleUp == otherDown;
    return change;
}

const char *roleName(EquilibriumRole role)
{
    switch (role) {
    case R::Origin: return "el origen";
    case R::XAxis: return "el equilibrio del eje x";
    case R::YAxis: return "el equilibrio del eje y";
    case R::Interior: return "el equilibrio interior";
    }
    return "";
}

} // namespace

double coefficientValue(const Coefficients &k, int index)
{
    const double values[] = {k.A, k.B, k.C, k.D, k.E, k.F};
    return index >= 0 && index < 6 ? values[index] : 0;
}

Coefficients withCoefficient(Coefficients k, int index, double value)
{
    double *slots[] = {&k.A, &k.B, &k.C, &k.D, &k.E, &k.F};
    if (index >= 0 && index < 6)
        *slots[index] = value;
    return k;
}

const char *coefficientName(int index)
{
    static const char *const names[] = {"A", "B", "C", "D", "E", "F"};
    return index >= 0 && index < 6 ? names[index] : "";
}

CurvePoint equilibriumOfRole(const Coefficients &k, EquilibriumRole role)
{
    const CrossingTerms terms = crossingTerms(k);
    switch (role) {
    case R::Origin:
        return pointAt(jacobianAt(k, 0, 0), 0, 0, 1);
    case R::XAxis:
        return k.B == 0 ? CurvePoint{} : pointAt(jacobianOnXAxis(k, terms), -k.A / k.B, 0, signOf(k.B));
    case R::YAxis:
        return k.F == 0 ? CurvePoint{} : pointAt(jacobianOnYAxis(k, terms), 0, -k.D / k.F, signOf(k.F));
    case R::Interior: {
        if (terms.delta == 0)
            return {};
        const double x = terms.X / terms.delta, y = terms.Y / terms.delta;
        return pointAt(jacobianInside(k, x, y), x, y, signOf(terms.delta));
    }
    }
    return {};
}

CoefficientPath coefficientPath(const Coefficients &k, int coefficient)
{
    CoefficientPath path;
    path.at = [k, coefficient](double value) { return withCoefficient(k, coefficient, value); };
    for (int index = 0; index < 6; ++index)
        path.constant[std::size_t(index)] = index == coefficient ? 0 : coefficientValue(k, index);
    if (coefficient >= 0 && coefficient < 6)
        path.slope[std::size_t(coefficient)] = 1;
    return path;
}

std::vector<TypeChange> typeChanges(const Coefficients &k, int coefficient, double from, double to)
{
    if (coefficient < 0 || coefficient >= 6)
        return {};
    return typeChanges(coefficientPath(k, coefficient), from, to);
}

std::vector<TypeChange> typeChanges(const CoefficientPath &path, double from, double to)
{
    std::vector<TypeChange> found;
    if (!path.at || !movesOneGroup(path) || !std::isfinite(from) || !std::isfinite(to) || !(from < to)
        || !std::isfinite(to - from))
        return found;
    // Searched a range's width beyond each end too, so that a change at an end has both sides;
    // beyond the end of what the path contains too, where its formulas go on, but not through
    // the pole of a reciprocal path at 0: that is searched down to a millionth of the range's top.
    const double span = to - from;
    double low = from - span, high = to + span;
    if (!std::isfinite(low) || !std::isfinite(high))
        std::tie(low, high) = std::pair(from, to);
    if (path.reciprocal) {
        if (!(to > 0))
            return found;
        if (!(low > 0))
            low = from > 0 ? from / 2 : to * 0x1p-20;
    }

    // Every value where something is zero: between two of them no type changes but at single
    // values (see sampleBeside), and the types on either side of a change are taken between it
    // and its neighbours. The denominators' zeros count too: an equilibrium is not followed
    // across its pole.
    struct Zero {
        double value;
        int watch;
    };
    // A quantity that touches 0 without a change of sign (a double root) rounds into zeros some
    // 1e-8 of the range apart, with a type of that single value between them: those closer than
    // sameZero are one, so that the types beside it are taken beyond all of them.
    const double sameZero = 1e-6 * span;
    std::vector<Zero> zeros;
    std::vector<double> breaks{low, high};
    for (int w = 0; w < static_cast<int>(std::size(kWatches)); ++w) {
        double last = -HUGE_VAL;
        for (double value : zerosOf(path, kWatches[w], low, high)) {
            if (value - last <= sameZero)
                continue;
            last = value;
            zeros.push_back({value, w});
            breaks.push_back(value);
        }
    }
    const std::array<Polynomial, 6> terms = polynomialsOf(path);
    for (const Polynomial &denominator : {terms[1], terms[5], terms[1] * terms[5] - terms[2] * terms[4]}) {
        const auto inP = [&](double p) { return denominator(path.reciprocal ? 1 / p : p); };
        signChanges(inP, monotonePieces(path, denominator, low, high), low, high, breaks);
    }
    std::sort(breaks.begin(), breaks.end());

    // Zeros of different quantities at one place agree to about the last digits; closer than
    // this they are one place.
    const double samePlace = 1e-9 * span;
    for (const Zero &zero : zeros) {
        if (zero.value < from || zero.value > to || !follows(path, zero.value))
            continue;
        const auto next = std::upper_bound(breaks.begin(), breaks.end(), zero.value + samePlace);
        const auto previous = std::lower_bound(breaks.begin(), breaks.end(), zero.value - samePlace);
        const double below = previous == breaks.begin() ? low : *(previous - 1);
        const double above = next == breaks.end() ? high : *next;
        const Watch &watch = kWatches[zero.watch];
        const auto change = changeAt(path, watch, zero.value, sampleBeside(path, watch.role, zero.value, below),
                                     sampleBeside(path, watch.role, zero.value, above));
        if (!change)
            continue;
        // The same place for an equilibrium already described: one mark says it.
        const bool known = std::any_of(found.begin(), found.end(), [&](const TypeChange &c) {
            return involves(c, change->role) && std::fabs(c.value - change->value) <= samePlace;
        });
        if (!known)
            found.push_back(*change);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const TypeChange &p, const TypeChange &q) { return p.value < q.value; });
    return found;
}

BifurcationDiagram bifurcationDiagram(const Coefficients &k, int coefficient, double from, double to,
                                      int columns)
{
    BifurcationDiagram diagram;
    if (coefficient >= 0 && coefficient < 6)
        diagram = bifurcationDiagram(coefficientPath(k, coefficient), from, to, columns);
    diagram.coefficient = coefficient;
    return diagram;
}

BifurcationDiagram bifurcationDiagram(const CoefficientPath &path, double from, double to, int columns)
{
    BifurcationDiagram diagram;
    diagram.coefficient = -1;
    if (!path.at || columns < 2 || columns > kMaxColumns || !std::isfinite(from) || !std::isfinite(to)
        || !(from < to) || !std::isfinite(to - from))
        return diagram;

    const auto count = static_cast<std::size_t>(columns);
    diagram.values.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        diagram.values[i] = from + (to - from) * static_cast<double>(i) / static_cast<double>(count - 1);
    diagram.values.back() = to;

    for (auto &curve : diagram.curves)
        curve.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (!follows(path, diagram.values[i]))
            continue;   // no equilibrium outside the path
        const Coefficients at = path.at(diagram.values[i]);
        for (int role = 0; role < kRoleCount; ++role)
            diagram.curves[role][i] = equilibriumOfRole(at, static_cast<EquilibriumRole>(role));
    }
    diagram.changes = typeChanges(path, from, to);
    return diagram;
}

std::string describeChange(const TypeChange &change, const std::function<std::string(double, double)> &point)
{
    std::string text = roleName(change.role);
    if (change.kind == K::Meeting) {
        text += " se une a " + point(change.x, change.y);
        if (change.exchange)
            text += ": intercambio de estabilidad";
        return text;
    }
    return text + " pasa de " + typeName(change.before) + " a " + typeName(change.after);
}
