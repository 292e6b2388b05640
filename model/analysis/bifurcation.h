#pragma once

#include "model/analysis/linearisation.h"
#include "model/coefficients.h"

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

// The formula an equilibrium comes from. A curve of the bifurcation diagram follows one
// formula, so it stays one curve while the coefficient moves, even where it crosses another.
enum class EquilibriumRole {
    Origin,    // (0, 0)
    XAxis,     // (-A/B, 0)
    YAxis,     // (0, -D/F)
    Interior,  // ((CD - AF)/Δ, (AE - BD)/Δ), Δ = BF - CE
};
inline constexpr int kRoleCount = 4;

// The coefficient with index 0..5 (A..F), read and replaced.
double coefficientValue(const Coefficients &k, int index);
Coefficients withCoefficient(Coefficients k, int index, double value);
const char *coefficientName(int index);   // "A".."F"

// One equilibrium at one value of the coefficient. It does not exist where its denominator
// (B, F or Δ; zero as equilibria() judges it) vanishes or where it lies beyond the range of a
// double. `branch` is the sign of the denominator: a curve through a pole changes branch.
struct CurvePoint {
    bool exists = false;
    bool stable = false;   // both eigenvalues have a negative real part
    bool neutral = false;  // neither stable nor unstable by its linearisation: a centre, a zero eigenvalue
    int branch = 0;
    double x = 0, y = 0;
    EquilibriumType type = EquilibriumType::Undetermined;
};

CurvePoint equilibriumOfRole(const Coefficients &k, EquilibriumRole role);

// A value of the coefficient where an equilibrium changes type: two equilibria meet, or its
// determinant, trace or discriminant crosses zero with a change of type. The discriminant
// only turns a node into a focus; the other three are bifurcations.
struct TypeChange {
    enum class Kind { Meeting, Determinant, Trace, Discriminant };

    Kind kind = Kind::Determinant;
    double value = 0;                // of the coefficient
    EquilibriumRole role = EquilibriumRole::Origin;
    EquilibriumRole other = EquilibriumRole::Origin;   // the one met, for a meeting
    double x = 0, y = 0;             // where the equilibrium stands at that value
    EquilibriumType before = EquilibriumType::Undetermined;   // the type just below the value
    EquilibriumType after = EquilibriumType::Undetermined;    // and just above
    bool exchange = false;           // a meeting where the two swap their numbers of unstable directions

    bool isBifurcation() const { return kind != Kind::Discriminant; }
};

// A line through the coefficients that a diagram runs along: the coefficients at each value p
// of what moves, exactly as `at` computes them, and their closed form, each one affine in
// q = p, or in q = 1/p where `reciprocal` (a carrying capacity): coefficient i is
// constant[i] + slope[i]·q. The changes are located on the numbers of `at`; the closed form only
// cuts the range into pieces where each watched quantity is monotone, so that rounding in it
// moves no change. A reciprocal path is followed for p > 0 only. Values below `lowest`, or at it
// unless `lowestIncluded`, lie outside the path: nothing is drawn or marked there. The path moves
// the coefficients of one species' equation only, (A, B, C) or (D, E, F), so that each watched
// quantity stays a polynomial of degree at most 4 in q; along one that moves both, no change is
// found.
struct CoefficientPath {
    std::function<Coefficients(double)> at;
    std::array<double, 6> constant{}, slope{};
    bool reciprocal = false;
    double lowest = -HUGE_VAL;
    bool lowestIncluded = true;

    bool contains(double p) const { return p > lowest || (lowestIncluded && p == lowest); }
};

// Coefficient index 0..5 varied, the others as in k.
CoefficientPath coefficientPath(const Coefficients &k, int coefficient);

// Every type change of one coefficient over [from, to], both ends included, in increasing value.
// Each is a zero of a closed form (the coordinates of the meeting equilibria, or the
// determinant, trace or discriminant of one) located to the last digits, however close it lies
// to another: the result does not depend on any sampling. Zeros of one quantity closer than 1e-6
// of the range, as a double root rounds into, are one place. A bad range or index gives none.
std::vector<TypeChange> typeChanges(const Coefficients &k, int coefficient, double from, double to);
// The same along a path, over the part of [from, to] the path contains.
std::vector<TypeChange> typeChanges(const CoefficientPath &path, double from, double to);

// The diagram of one coefficient over [from, to], sampled at `columns` evenly spaced values,
// both ends included: each role's curve, and typeChanges() over the range. Bad input (a range
// that is empty or not finite, an index outside 0..5, fewer than two columns) gives an empty
// diagram.
struct BifurcationDiagram {
    int coefficient = 0;   // -1 along a path

    std::vector<double> values;
    std::array<std::vector<CurvePoint>, kRoleCount> curves;   // [role][column]
    std::vector<TypeChange> changes;

    const std::vector<CurvePoint> &curve(EquilibriumRole role) const
    {
        return curves[static_cast<int>(role)];
    }
};

BifurcationDiagram bifurcationDiagram(const Coefficients &k, int coefficient, double from, double to,
                                      int columns);
// The same along a path: where the path does not contain a value, no equilibrium exists there.
BifurcationDiagram bifurcationDiagram(const CoefficientPath &path, double from, double to, int columns);

// The change in one Spanish sentence, lower case, the point met written by `point`, e.g.
// "el equilibrio interior se une a (3; 0): intercambio de estabilidad".
std::string describeChange(const TypeChange &change, const std::function<std::string(double, double)> &point);
