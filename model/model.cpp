#include "model/model.h"

#include "model/failure.h"

#include <cmath>

namespace {

// Every intermediate result of the integration is tested when it is computed.
double checked(double value)
{
    if (!std::isfinite(value))
        throw Failure(Failure::Kind::FloatingPointFault, "floating-point fault");
    return value;
}

// h times a value of the field: a product beyond the range of a double is an overflow.
double increment(double h, double f)
{
    const double product = h * f;
    if (!std::isfinite(product))
        throw Failure(Failure::Kind::Overflow, "arithmetic overflow");
    return product;
}

} // namespace

void Model::setDefaults()
{
    A = 4;
    B = 0;
    C = -1;
    D = -4;
    E = 1;
    F = 0;
    dt = 0.02;
}

bool Model::isUsableSpan(double span)
{
    const double step = span / 100;
    return step > 0 && std::isnormal(step);
}

double Model::fx() const
{
    double sum = B * xp;
    sum = sum + A;
    sum = sum + C * yp;
    return checked(sum * xp);
}

double Model::fy() const
{
    double sum = E * xp;
    sum = sum + D;
    sum = sum + F * yp;
    return checked(sum * yp);
}

void Model::calcula(const Reader &readX, const Reader &readY)
{
    // Both texts are read before anything is written: a point that is half a number
    // leaves the stored trajectory as it was.
    double x0 = 0;
    double y0 = 0;
    try {
        x0 = readX();
        y0 = readY();
    } catch (const Failure &) {
        return;
    }
    ok(0) = true;
    xs(0) = x0;
    ys(0) = y0;
    integrate(+1);
    integrate(-1);
}

// Fills samples 1..100 (direction +1) or -1..-100 (direction -1) from sample 0 outwards.
// A failure while computing a sample ends that side: the sample and every later one are
// invalid, so nothing of an earlier trajectory is ever left beside the new one.
void Model::integrate(int direction)
{
    for (int n = 1; n <= kLastSample; ++n) {
        const int k = direction * n;
        const int previous = k - direction;
        if (!ok(previous)) {
            ok(k) = false;
            xs(k) = kFiller;
            ys(k) = kFiller;
            continue;
        }
        double x = xs(previous);
        double y = ys(previous);
        try {
            const double h = checked(dt / kStepsPerSample);
            for (int step = 0; step < kStepsPerSample; ++step)
                rk4Step(x, y, h, direction);
        } catch (const Failure &) {
            ok(k) = false;
            xs(k) = kFiller;
            ys(k) = kFiller;
            continue;
        }
        ok(k) = std::fabs(x) < kBound && std::fabs(y) < kBound;
        xs(k) = x;
        ys(k) = y;
    }
}

// One classical Runge-Kutta step of length h, forwards (sign +1) or backwards (sign -1):
// the backward step subtracts every increment, h staying positive.
void Model::rk4Step(double &x, double &y, double h, double sign)
{
    const bool forwards = sign > 0;
    auto advance = [forwards](double base, double delta) {
        return checked(forwards ? base + delta : base - delta);
    };

    // k1 = h f(x, y)
    xp = x;
    yp = y;
    const double k1x = increment(h, fx());
    const double k1y = increment(h, fy());
    // k2 = h f(x ± k1/2, y ± k1/2)
    xp = advance(x, k1x / 2);
    yp = advance(y, k1y / 2);
    const double k2x = increment(h, fx());
    const double k2y = increment(h, fy());
    // k3 = h f(x ± k2/2, y ± k2/2)
    xp = advance(x, k2x / 2);
    yp = advance(y, k2y / 2);
    const double k3x = increment(h, fx());
    const double k3y = increment(h, fy());
    // k4 = h f(x ± k3, y ± k3)
    xp = advance(x, k3x);
    yp = advance(y, k3y);
    const double k4x = increment(h, fx());
    const double k4y = increment(h, fy());
    // x ± k1/6 ± k2/3 ± k3/3 ± k4/6, left to right; then y likewise
    x = advance(advance(advance(advance(x, k1x / 6), k2x / 3), k3x / 3), k4x / 6);
    y = advance(advance(advance(advance(y, k1y / 6), k2y / 3), k3y / 3), k4y / 6);
}
