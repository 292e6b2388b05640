#pragma once

#include "model/model.h"

#include <cmath>
#include <optional>

// A second, plain-spoken integrator for comparing with Model::calcula, bit for bit: it
// follows the method step by step as the program documents it (the same order of operations,
// the same fault tests) but shares no code with the model. A fault is a return value here,
// not an exception, so the place where a computation ends early is plain to see.
namespace reference {

struct Field {
    const Model &m;

    // x (A + B x + C y) and y (D + E x + F y), in the documented order; nothing when the value
    // is no finite number.
    std::optional<double> fx(double xp, double yp) const
    {
        double sum = m.B * xp;
        sum = sum + m.A;
        sum = sum + m.C * yp;
        return finite(sum * xp);
    }
    std::optional<double> fy(double xp, double yp) const
    {
        double sum = m.E * xp;
        sum = sum + m.D;
        sum = sum + m.F * yp;
        return finite(sum * yp);
    }

    static std::optional<double> finite(double v) { return std::isfinite(v) ? std::optional<double>(v) : std::nullopt; }
};

// One Runge-Kutta step forwards (sign +1) or backwards (sign -1, every increment subtracted).
// Leaves the last evaluation point in (xp, yp); false on a fault, with (x, y) untouched.
inline bool step(const Field &field, double &x, double &y, double h, int sign, double &xp, double &yp)
{
    auto move = [sign](double base, double delta) { return Field::finite(sign > 0 ? base + delta : base - delta); };
    double kx[4], ky[4];
    for (int stage = 0; stage < 4; ++stage) {
        if (stage == 0) {
            xp = x;
            yp = y;
        } else {
            const double share = stage == 3 ? 1 : 2;
            const auto px = move(x, kx[stage - 1] / share);
            if (!px)
                return false;
            xp = *px;
            const auto py = move(y, ky[stage - 1] / share);
            if (!py)
                return false;
            yp = *py;
        }
        const auto fx = field.fx(xp, yp);
        if (!fx || !std::isfinite(h * *fx))
            return false;
        kx[stage] = h * *fx;
        const auto fy = field.fy(xp, yp);
        if (!fy || !std::isfinite(h * *fy))
            return false;
        ky[stage] = h * *fy;
    }
    const double x1 = sign > 0 ? x + kx[0] / 6 : x - kx[0] / 6;
    const double x2 = sign > 0 ? x1 + kx[1] / 3 : x1 - kx[1] / 3;
    const double x3 = sign > 0 ? x2 + kx[2] / 3 : x2 - kx[2] / 3;
    const double x4 = sign > 0 ? x3 + kx[3] / 6 : x3 - kx[3] / 6;
    if (!std::isfinite(x4))
        return false;
    const double y1 = sign > 0 ? y + ky[0] / 6 : y - ky[0] / 6;
    const double y2 = sign > 0 ? y1 + ky[1] / 3 : y1 - ky[1] / 3;
    const double y3 = sign > 0 ? y2 + ky[2] / 3 : y2 - ky[2] / 3;
    const double y4 = sign > 0 ? y3 + ky[3] / 6 : y3 - ky[3] / 6;
    if (!std::isfinite(y4))
        return false;
    x = x4;
    y = y4;
    return true;
}

// What calcula leaves in m for the initial point (x0, y0), where nothing stands for a text
// that is no number: then nothing changes. A fault while a sample is computed makes that
// sample and the rest of its side invalid fillers.
inline void calcula(Model &m, std::optional<double> x0, std::optional<double> y0)
{
    if (!x0 || !y0)
        return;
    m.ok(0) = true;
    m.xs(0) = *x0;
    m.ys(0) = *y0;
    const Field field{m};
    for (int sign : {+1, -1}) {
        for (int n = 1; n <= kLastSample; ++n) {
            const int k = sign * n, previous = sign * (n - 1);
            double x = m.xs(previous), y = m.ys(previous);
            const double h = m.dt / 40;
            bool fault = !std::isfinite(h);
            for (int s = 0; m.ok(previous) && !fault && s < 40; ++s)
                fault = !step(field, x, y, h, sign, m.xp, m.yp);
            if (!m.ok(previous) || fault) {
                m.ok(k) = false;
                m.xs(k) = m.ys(k) = -1;
                continue;
            }
            m.ok(k) = std::fabs(x) < 20 && std::fabs(y) < 20;
            m.xs(k) = x;
            m.ys(k) = y;
        }
    }
}

} // namespace reference
