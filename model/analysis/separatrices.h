#pragma once

#include "model/analysis/equilibria.h"
#include "model/coefficients.h"

#include <vector>

// The separatrices of the system: the stable and unstable manifolds of its saddles.

struct PlanePoint {
    double x = 0, y = 0;
};

// One branch of a saddle's manifold: the curve that leaves the saddle on one side of one
// eigenvector. An unstable branch is followed forward in time, a stable one backward, so its
// points run from the saddle outwards in both cases.
struct Separatrix {
    enum class Kind { Stable, Unstable };

    Kind kind = Kind::Stable;
    PlanePoint saddle;
    std::vector<PlanePoint> points;   // the saddle first, then the curve; every one finite
};

// How the branches are followed. The drawing is what needs the accuracy, so the step is a
// length in the plane, not a time: each RK4 step takes the time that moves the point
// kArcStep (as the field at its start says), but never more than kStiffness over the size of
// the Jacobian there, where RK4 stays stable. Near the saddle both lengths shrink with its
// scale, the distance to the nearest other equilibrium when it is below 1; further out the arc
// step grows with the distance from the saddle, up to kArcStep, so that a saddle close to another
// equilibrium has its branches followed to their ends too.
namespace separatrix_limits {
inline constexpr double kBound = 20;          // the branches stay inside |x|, |y| < kBound
inline constexpr double kArcStep = 0.01;      // a quarter of a pixel of the designed view
inline constexpr double kStiffness = 0.5;
inline constexpr double kStartOffset = 1e-5;  // the first step off the saddle, along the eigenvector
inline constexpr double kNearEquilibrium = 2; // in arc steps: a branch ends this near an equilibrium
inline constexpr double kMaxLength = 100;     // a branch ends at this length in the plane
inline constexpr int kMaxSteps = 20000;       // and after this many steps, whatever its length
} // namespace separatrix_limits

// For each saddle among the equilibria with |x|, |y| < kBound, its four branches: unstable ones
// first, each eigenvector's two sides. A branch starts at the saddle, goes kStartOffset times the
// saddle's scale along the eigenvector (the linearisation's closed form), and is followed with
// RK4 until it leaves |x|, |y| < kBound (its last point then lies on that border), comes within
// kNearEquilibrium arc steps of an equilibrium (of its own saddle, the saddle's scale, and only
// once it has left it), reaches
// kMaxLength, takes kMaxSteps steps, stops moving or meets a value beyond the range of a double.
// A branch that cannot leave its saddle is left out; so is a saddle whose linearisation is
// beyond the range of a double.
std::vector<Separatrix> separatrices(const Coefficients &k, const std::vector<Equilibrium> &equilibria);

// One classical RK4 step of the system's field from p over time h (negative: backward).
PlanePoint fieldRk4Step(const Coefficients &k, PlanePoint p, double h);
