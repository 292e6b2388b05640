#pragma once

#include "model/coefficients.h"
#include "model/sample_array.h"

#include <functional>

// The state of the autonomous Lotka-Volterra system
//     x' = x (A + B x + C y),   y' = y (D + E x + F y)
// and of one stored trajectory through an initial point, sampled 100 times forwards and
// 100 times backwards in time.
class Model {
public:
    // Reads one coordinate of the initial point; throws Failure when its text is no number.
    using Reader = std::function<double()>;

    static constexpr int kStepsPerSample = 40;
    static constexpr double kBound = 20;   // a sample is valid only if |x| < 20 and |y| < 20
    static constexpr double kFiller = -1;  // stored for every sample past an invalid one

    // The start-up coefficients and time step: x' = x (4 - y), y' = y (x - 4), dt = 0.02.
    void setDefaults();
    // A..F from a set of coefficients.
    void setCoefficients(const Coefficients &k)
    {
        A = k.A, B = k.B, C = k.C, D = k.D, E = k.E, F = k.F;
    }

    // A span is usable when its time step span / 100 is a positive normal double: a step
    // that underflows to 0 or to a subnormal would stand still, an infinite one is no time.
    static bool isUsableSpan(double span);

    // The right-hand sides at the evaluation point (xp, yp). Throw Failure when the value
    // is not a finite number.
    double fx() const;
    double fy() const;

    // Recomputes the stored trajectory from the initial point that the readers give, first x,
    // then y. Never throws. When either reader fails nothing changes; a failure while a sample
    // is computed makes that sample and the rest of its side invalid, filled with (-1, -1).
    void calcula(const Reader &readX, const Reader &readY);

    // One classical Runge-Kutta step of length h from (x, y) with the coefficients in force,
    // forwards (sign +1) or backwards (sign -1); the evaluation point is left at the last
    // stage. Throws Failure when an intermediate value is not finite. The stored trajectory's
    // samples are 40 of these from the sample before; the fit to observed data takes the same.
    void rk4Step(double &x, double &y, double h, double sign);

    double A = 0, B = 0, C = 0, D = 0, E = 0, F = 0;
    double dt = 0;   // time between two stored samples
    double xp = 0, yp = 0;   // evaluation point of fx and fy
    SampleArray<double> xs, ys;
    SampleArray<bool> ok;

private:
    void integrate(int direction);
};
