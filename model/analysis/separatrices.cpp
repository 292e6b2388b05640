#include "model/analysis/separatrices.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace separatrix_limits;

PlanePoint fieldAt(const Coefficients &k, PlanePoint p)
{
    return {p.x * (k.A + k.B * p.x + k.C * p.y), p.y * (k.D + k.E * p.x + k.F * p.y)};
}

bool isFinite(PlanePoint p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

bool inside(PlanePoint p)
{
    return std::fabs(p.x) < kBound && std::fabs(p.y) < kBound;
}

double distance(PlanePoint a, PlanePoint b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// Where the piece from p (inside) to q (outside) crosses the border of |x|, |y| < kBound.
PlanePoint onBorder(PlanePoint p, PlanePoint q)
{
    double t = 1;
    if (std::fabs(q.x) >= kBound)
        t = std::min(t, (std::copysign(kBound, q.x) - p.x) / (q.x - p.x));
    if (std::fabs(q.y) >= kBound)
        t = std::min(t, (std::copysign(kBound, q.y) - p.y) / (q.y - p.y));
    return {p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t};
}

// A unit eigenvector of the Jacobian [[a, b], [c, d]] for its eigenvalue λ: of (b, λ - a) and
// (λ - d, c), which both solve (J - λ I) v = 0, the longer. The entries and λ come scaled alike,
// so that no product leaves the range of a double. Nothing (0, 0) when both vanish.
PlanePoint eigenvector(double a, double b, double c, double d, double lambda)
{
    const PlanePoint first{b, lambda - a}, second{lambda - d, c};
    const double firstLength = std::hypot(first.x, first.y), secondLength = std::hypot(second.x, second.y);
    const PlanePoint &v = firstLength >= secondLength ? first : second;
    const double length = std::max(firstLength, secondLength);
    if (!(length > 0) || !std::isfinite(length))
        return {};
    return {v.x / length, v.y / length};
}

struct Saddle {
    PlanePoint at;
    double scale = 1;   // the distance to the nearest other equilibrium, at most 1
};

// One branch from the saddle along ±v, forward in time (direction 1) or backward (-1).
std::vector<PlanePoint> follow(const Coefficients &k, const std::vector<Equilibrium> &equilibria, const Saddle &s,
                               PlanePoint v, double direction)
{
    const double offset = kStartOffset * s.scale;
    PlanePoint p{s.at.x + v.x * offset, s.at.y + v.y * offset};
    if (!isFinite(p) || !inside(p))
        return {};
    std::vector<PlanePoint> points{s.at, p};
    double length = distance(s.at, p);
    bool leftSaddle = false;
    // Near the saddle the curve bends on the scale of its distance from the saddle and of the
    // equilibria beside it; further out that distance, up to 1, is the scale of the step.
    const double ownNear = kNearEquilibrium * kArcStep * s.scale;
    for (int step = 0; step < kMaxSteps && length < kMaxLength; ++step) {
        const double arcStep = kArcStep * std::clamp(distance(s.at, p), s.scale, 1.0);
        const PlanePoint f = fieldAt(k, p);
        const double speed = std::hypot(f.x, f.y);
        const Jacobian j = jacobianAt(k, p.x, p.y);
        const double size = std::hypot(std::hypot(j.xx, j.xy), std::hypot(j.yx, j.yy));
        if (!(speed > 0) || !std::isfinite(speed) || !std::isfinite(size))
            break;
        const double h = size > 0 ? std::min(arcStep / speed, kStiffness / size) : arcStep / speed;
        if (!(h > 0) || !std::isfinite(h))
            break;
        const PlanePoint q = fieldRk4Step(k, p, direction * h);
        if (!isFinite(q))
            break;
        const double moved = distance(p, q);
        if (!(moved > 1e-12 * s.scale))
            break;
        if (!inside(q)) {
            points.push_back(onBorder(p, q));
            break;
        }
        points.push_back(q);
        length += moved;
        bool arrived = false;
        for (const Equilibrium &e : equilibria) {
            if (e.shape != Equilibrium::Shape::Point)
                continue;
            const double d = distance(q, {e.x, e.y});
            if (e.x == s.at.x && e.y == s.at.y) {
                leftSaddle = leftSaddle || d > 10 * ownNear;
                arrived = arrived || (leftSaddle && d < ownNear);
                continue;
            }
            arrived = arrived || d < kNearEquilibrium * arcStep;
        }
        if (arrived)
            break;
        p = q;
    }
    return points;
}

} // namespace

PlanePoint fieldRk4Step(const Coefficients &k, PlanePoint p, double h)
{
    const PlanePoint k1 = fieldAt(k, p);                                           // k1 = f(p)
    const PlanePoint k2 = fieldAt(k, {p.x + h / 2 * k1.x, p.y + h / 2 * k1.y});    // k2 = f(p + h/2 k1)
    const PlanePoint k3 = fieldAt(k, {p.x + h / 2 * k2.x, p.y + h / 2 * k2.y});    // k3 = f(p + h/2 k2)
    const PlanePoint k4 = fieldAt(k, {p.x + h * k3.x, p.y + h * k3.y});            // k4 = f(p + h k3)
    return {p.x + h / 6 * (k1.x + 2 * k2.x + 2 * k3.x + k4.x),                     // p + h/6 (k1 + 2k2 + 2k3 + k4)
            p.y + h / 6 * (k1.y + 2 * k2.y + 2 * k3.y + k4.y)};
}

std::vector<Separatrix> separatrices(const Coefficients &k, const std::vector<Equilibrium> &equilibria)
{
    std::vector<Separatrix> result;
    for (const Equilibrium &e : equilibria) {
        if (e.shape != Equilibrium::Shape::Point || e.type() != EquilibriumType::Saddle)
            continue;
        const Eigenvalues &values = e.linearisation.eigenvalues;
        if (!values.representable || !(std::fabs(e.x) < kBound) || !(std::fabs(e.y) < kBound))
            continue;
        Saddle s{{e.x, e.y}, 1};
        for (const Equilibrium &other : equilibria)
            if (other.shape == Equilibrium::Shape::Point && (other.x != e.x || other.y != e.y))
                s.scale = std::min(s.scale, distance(s.at, {other.x, other.y}));
        if (!(s.scale > 0))
            continue;
        // The Jacobian and its eigenvalues scaled alike by a power of two, the largest below 1.
        const Jacobian j = jacobianAt(k, e.x, e.y);
        const double largest = std::max({std::fabs(j.xx), std::fabs(j.xy), std::fabs(j.yx), std::fabs(j.yy),
                                         std::fabs(values.first), std::fabs(values.second)});
        if (!std::isfinite(largest) || !(largest > 0))
            continue;
        int exponent = 0;
        std::frexp(largest, &exponent);
        const auto scaled = [exponent](double value) { return std::ldexp(value, -exponent); };
        const double a = scaled(j.xx), b = scaled(j.xy), c = scaled(j.yx), d = scaled(j.yy);
        struct Manifold {
            Separatrix::Kind kind;
            double eigenvalue;
            double direction;
        };
        const Manifold manifolds[] = {{Separatrix::Kind::Unstable, scaled(values.first), 1},
                                      {Separatrix::Kind::Stable, scaled(values.second), -1}};
        for (const Manifold &manifold : manifolds) {
            const PlanePoint v = eigenvector(a, b, c, d, manifold.eigenvalue);
            if (v.x == 0 && v.y == 0)
                continue;
            for (double side : {1.0, -1.0}) {
                std::vector<PlanePoint> points =
                    follow(k, equilibria, s, {v.x * side, v.y * side}, manifold.direction);
                if (points.size() >= 2)
                    result.push_back({manifold.kind, s.at, std::move(points)});
            }
        }
    }
    return result;
}
