#include "bench/bare_rk4.h"

#include "model/model.h"

#include <cmath>

namespace {

struct Field {
    double A, B, C, D, E, F;

    // Summed in the model's order: B x, plus A, plus C y, times x (and likewise for y).
    double fx(double x, double y) const
    {
        double sum = B * x;
        sum = sum + A;
        sum = sum + C * y;
        return sum * x;
    }
    double fy(double x, double y) const
    {
        double sum = E * x;
        sum = sum + D;
        sum = sum + F * y;
        return sum * y;
    }
};

template <bool Forwards>
double advance(double base, double delta)
{
    return Forwards ? base + delta : base - delta;
}

template <bool Forwards>
void rk4Step(const Field &field, double &x, double &y, double h)
{
    // k1 = h f(x, y)
    const double k1x = h * field.fx(x, y);
    const double k1y = h * field.fy(x, y);
    // k2 = h f(x ± k1/2, y ± k1/2)
    double px = advance<Forwards>(x, k1x / 2);
    double py = advance<Forwards>(y, k1y / 2);
    const double k2x = h * field.fx(px, py);
    const double k2y = h * field.fy(px, py);
    // k3 = h f(x ± k2/2, y ± k2/2)
    px = advance<Forwards>(x, k2x / 2);
    py = advance<Forwards>(y, k2y / 2);
    const double k3x = h * field.fx(px, py);
    const double k3y = h * field.fy(px, py);
    // k4 = h f(x ± k3, y ± k3)
    px = advance<Forwards>(x, k3x);
    py = advance<Forwards>(y, k3y);
    const double k4x = h * field.fx(px, py);
    const double k4y = h * field.fy(px, py);
    // x ± k1/6 ± k2/3 ± k3/3 ± k4/6, left to right; then y likewise
    x = advance<Forwards>(advance<Forwards>(advance<Forwards>(advance<Forwards>(x, k1x / 6), k2x / 3), k3x / 3), k4x / 6);
    y = advance<Forwards>(advance<Forwards>(advance<Forwards>(advance<Forwards>(y, k1y / 6), k2y / 3), k3y / 3), k4y / 6);
}

template <bool Forwards>
void integrate(const Field &field, double dt, BareTrajectory &t)
{
    const int direction = Forwards ? 1 : -1;
    for (int n = 1; n <= kLastSample; ++n) {
        const int k = direction * n;
        const int previous = k - direction;
        if (!t.ok(previous)) {
            t.ok(k) = false;
            t.xs(k) = Model::kFiller;
            t.ys(k) = Model::kFiller;
            continue;
        }
        double x = t.xs(previous);
        double y = t.ys(previous);
        const double h = dt / Model::kStepsPerSample;
        for (int step = 0; step < Model::kStepsPerSample; ++step)
            rk4Step<Forwards>(field, x, y, h);
        t.ok(k) = std::fabs(x) < Model::kBound && std::fabs(y) < Model::kBound;
        t.xs(k) = x;
        t.ys(k) = y;
    }
}

} // namespace

void bareCalcula(const Model &model, double x0, double y0, BareTrajectory &out)
{
    const Field field{model.A, model.B, model.C, model.D, model.E, model.F};
    out.ok(0) = true;
    out.xs(0) = x0;
    out.ys(0) = y0;
    integrate<true>(field, model.dt, out);
    integrate<false>(field, model.dt, out);
}
