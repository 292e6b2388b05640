#include "equilibria.h"

#include "tolerance.h"

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

bool sameLine(const StraightLine &p, const StraightLine &q)
{
    return difference(p.a * q.b, p.b * q.a) == 0 && difference(p.a * q.c, p.c * q.a) == 0
        && difference(p.b * q.c, p.c * q.b) == 0;
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

void addPoint(std::vector<Equilibrium> &list, const Coefficients &k, double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    x += 0.0;   // -0 becomes 0, so that it neither shows nor compares as a negative
    y += 0.0;
    // The same point reached by two formulas may differ in its last digits.
    const bool known = std::any_of(list.begin(), list.end(), [x, y](const Equilibrium &e) {
        return e.shape == Equilibrium::Shape::Point && isNegligible(e.x - x, std::fabs(e.x) + std::fabs(x))
            && isNegligible(e.y - y, std::fabs(e.y) + std::fabs(y));
    });
    if (known)
        return;
    Equilibrium e;
    e.x = x;
    e.y = y;
    e.linearisation = linearise(jacobianAt(k, x, y));
    list.push_back(e);
}

// Where both A + Bx + Cy = 0 and D + Ex + Fy = 0 when the two lines do not cross in one point:
// a whole line when they coincide or one equation holds everywhere, otherwise nothing.
void addCommonLine(std::vector<Equilibrium> &list, const Coefficients &k)
{
    const StraightLine p = xNullcline(k);
    const StraightLine q = yNullcline(k);
    if (holdsEverywhere(p) && !q.isDegenerate())
        addLine(list, q);
    else if (holdsEverywhere(q) && !p.isDegenerate())
        addLine(list, p);
    else if (!p.isDegenerate() && !q.isDegenerate() && sameLine(p, q))
        addLine(list, p);
}

} // namespace

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

    addPoint(list, k, 0, 0);
    if (k.B != 0)
        addPoint(list, k, -k.A / k.B, 0);
    if (k.F != 0)
        addPoint(list, k, 0, -k.D / k.F);
    const double delta = difference(k.B * k.F, k.C * k.E);
    if (delta != 0)
        addPoint(list, k, difference(k.C * k.D, k.A * k.F) / delta, difference(k.A * k.E, k.B * k.D) / delta);

    if (k.A == 0 && k.B == 0)
        addLine(list, {0, 0, 1});   // y = 0
    if (k.D == 0 && k.F == 0)
        addLine(list, {0, 1, 0});   // x = 0
    if (delta == 0)
        addCommonLine(list, k);
    return list;
}
