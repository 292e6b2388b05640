#include "model/analysis/equilibria.h"

#include "model/analysis/tolerance.h"

#include <algorithm>
#include <cmath>

namespace {

// A numerator or determinant made of two products, taken as zero within rounding.
double difference(double first, double second)
{
    const double value = first - second;
    return isNegligible(value, std::fabs(first) + std::fabs(second)) ? 0 : value;
}

bool holdsEverywhere(const StraightLine &line)
{
    return line.isDegenerate() && line.a == 0;
}

// The exponent e of 2 that brings the largest of the sizes to [1/2, 1) when multiplied by 2^-e.
int exponentOf(std::initializer_list<double> values)
{
    double largest = 0;
    for (double v : values)
        largest = std::max(largest, std::fabs(v));
    int exponent = 0;
    std::frexp(largest, &exponent);
    return exponent;
}

// The same line a + b x + c y = 0 scaled by a power of two, so that its products stay in range.
StraightLine normalised(const StraightLine &line)
{
    const int e = exponentOf({line.a, line.b, line.c});
    return {std::ldexp(line.a, -e), std::ldexp(line.b, -e), std::ldexp(line.c, -e)};
}

bool sameLine(const StraightLine &first, const StraightLine &second)
{
    const StraightLine p = normalised(first), q = normalised(second);
    return difference(p.a * q.b, p.b * q.a) == 0 && difference(p.a * q.c, p.c * q.a) == 0
        && difference(p.b * q.c, p.c * q.b) == 0;
}

// Whether two coordinates of points are the same within rounding; two far apart on either side
// of 0 are not, even where their difference leaves the range of a double.
bool samePlace(double a, double b)
{
    const double gap = a - b;
    return std::isfinite(gap) && isNegligible(gap, std::fabs(a) + std::fabs(b));
}

void addLine(std::vector<Equilibrium> &list, const StraightLine &line)
{
    const bool known = std::any_of(list.begin(), list.end(), [&line](const Equilibrium &e) {
        return e.shape == Equilibrium::Shape::Line && sameLine(e.line, line);
    });
    if (known)
        return;
    Equilibrium e;
    e.shape = Equilibrium::Shape::Line;
    e.line = line;
    e.linearisation.type = EquilibriumType::LineOfEquilibria;
    list.push_back(e);
}

// A point of a system whose coefficients are 2^exponent times those the Jacobian was taken from.
void addPoint(std::vector<Equilibrium> &list, const Jacobian &jacobian, int exponent, double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    x += 0.0;   // -0 becomes 0, so that it neither shows nor compares as a negative
    y += 0.0;
    // The same point reached by two formulas may differ in its last digits.
    const bool known = std::any_of(list.begin(), list.end(), [x, y](const Equilibrium &e) {
        return e.shape == Equilibrium::Shape::Point && samePlace(e.x, x) && samePlace(e.y, y);
    });
    if (known)
        return;
    Equilibrium e;
    e.x = x;
    e.y = y;
    e.linearisation = linearise(jacobian);
    // The Jacobian is linear in the coefficients, and so are its eigenvalues.
    Eigenvalues &values = e.linearisation.eigenvalues;
    values = {std::ldexp(values.first, exponent), std::ldexp(values.second, exponent),
              std::ldexp(values.imaginary, exponent), values.representable};
    if (!std::isfinite(values.first) || !std::isfinite(values.second) || !std::isfinite(values.imaginary))
        values = {0, 0, 0, false};
    list.push_back(e);
}

// Where both A + Bx + Cy = 0 and D + Ex + Fy = 0 when the two lines do not cross in one point:
// a whole line when they coincide or one equation holds everywhere, otherwise nothing.
void addCommonLine(std::vector<Equilibrium> &list, const Coefficients &k)
{
    // Each line as typed; sameLine scales them itself.
    const StraightLine p = xNullcline(k);
    const StraightLine q = yNullcline(k);
    if (holdsEverywhere(p) && !q.isDegenerate())
        addLine(list, q);
    else if (holdsEverywhere(q) && !p.isDegenerate())
        addLine(list, p);
    else if (!p.isDegenerate() && !q.isDegenerate() && sameLine(p, q))
        addLine(list, p);
}

// The same within the rounding of the typed coefficients: see kRoundingTolerance.
double exactDifference(double a, double b, double c, double d)
{
    const double value = productDifference(a, b, c, d);
    return std::fabs(value) <= kRoundingTolerance * (std::fabs(a * b) + std::fabs(c * d)) ? 0 : value;
}

Jacobian singleTerms(double xx, double xy, double yx, double yy)
{
    return {xx, xy, yx, yy, std::fabs(xx), std::fabs(yy)};
}

} // namespace

CrossingTerms crossingTerms(const Coefficients &k)
{
    CrossingTerms terms;
    terms.X = exactDifference(k.C, k.D, k.A, k.F);
    terms.Y = exactDifference(k.A, k.E, k.B, k.D);
    const double delta = productDifference(k.B, k.F, k.C, k.E);
    terms.delta = isNegligible(delta, std::fabs(k.B * k.F) + std::fabs(k.C * k.E)) ? 0 : delta;
    return terms;
}

Jacobian jacobianOnXAxis(const Coefficients &k, const CrossingTerms &terms)
{
    return singleTerms(-k.A, k.C * (-k.A / k.B), 0, -terms.Y / k.B);
}

Jacobian jacobianOnYAxis(const Coefficients &k, const CrossingTerms &terms)
{
    return singleTerms(-terms.X / k.F, 0, k.E * (-k.D / k.F), -k.D);
}

Jacobian jacobianInside(const Coefficients &k, double x, double y)
{
    Jacobian j = singleTerms(k.B * x, k.C * x, k.E * y, k.F * y);
    j.firstIntegral = k.B == 0 && k.F == 0;
    return j;
}

std::vector<Equilibrium> equilibria(const Coefficients &k)
{
    std::vector<Equilibrium> list;
    if (holdsEverywhere(xNullcline(k)) && holdsEverywhere(yNullcline(k))) {
        Equilibrium plane;
        plane.shape = Equilibrium::Shape::Plane;
        plane.linearisation.type = EquilibriumType::PlaneOfEquilibria;
        list.push_back(plane);
        return list;
    }

    // Multiplying all six coefficients by one number moves no equilibrium and changes no type:
    // the points and types are found for the coefficients scaled by a power of two (exact) so
    // that the largest is near 1, where no product of two leaves the range of a double.
    const int e = exponentOf({k.A, k.B, k.C, k.D, k.E, k.F});
    const Coefficients s{std::ldexp(k.A, -e), std::ldexp(k.B, -e), std::ldexp(k.C, -e),
                         std::ldexp(k.D, -e), std::ldexp(k.E, -e), std::ldexp(k.F, -e)};
    const CrossingTerms terms = crossingTerms(s);
    addPoint(list, jacobianAt(s, 0, 0), e, 0, 0);
    if (s.B != 0)
        addPoint(list, jacobianOnXAxis(s, terms), e, -s.A / s.B, 0);
    if (s.F != 0)
        addPoint(list, jacobianOnYAxis(s, terms), e, 0, -s.D / s.F);
    const double delta = terms.delta;
    if (delta != 0) {
        const double x = terms.X / delta, y = terms.Y / delta;
        Jacobian inside = jacobianInside(s, x, y);
        // The scaling may have taken a tiny B or F to 0: the first integral needs them 0 as typed.
        inside.firstIntegral = k.B == 0 && k.F == 0;
        addPoint(list, inside, e, x, y);
    }

    if (k.A == 0 && k.B == 0)
        addLine(list, {0, 0, 1});   // y = 0
    if (k.D == 0 && k.F == 0)
        addLine(list, {0, 1, 0});   // x = 0
    if (delta == 0)
        addCommonLine(list, k);
    return list;
}
