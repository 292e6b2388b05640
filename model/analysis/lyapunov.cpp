#include "model/analysis/lyapunov.h"

#include "model/analysis/equilibria.h"

#include <algorithm>
#include <cmath>

double LyapunovFunction::operator()(double px, double py) const
{
    return c1 * (px - x - x * std::log(px / x)) + c2 * (py - y - y * std::log(py / y));
}

double LyapunovFunction::derivative(const Coefficients &k, double px, double py) const
{
    const double dx = px * (k.A + k.B * px + k.C * py);
    const double dy = py * (k.D + k.E * px + k.F * py);
    return c1 * (1 - x / px) * dx + c2 * (1 - y / py) * dy;
}

namespace {

// c2 / c1 for the interaction matrix [[B, C], [E, F]], scaled so that no product overflows or
// underflows; nothing when no positive ratio makes M negative semidefinite, or when rounding
// could decide it.
std::optional<double> weightRatio(double B, double C, double E, double F)
{
    const double largest = std::max({std::fabs(B), std::fabs(C), std::fabs(E), std::fabs(F)});
    if (!std::isfinite(largest) || largest == 0)
        return std::nullopt;
    const int exponent = std::ilogb(largest);
    B = std::scalbn(B, -exponent), C = std::scalbn(C, -exponent);
    E = std::scalbn(E, -exponent), F = std::scalbn(F, -exponent);
    if (B > 0 || F > 0)
        return std::nullopt;
    if (B == 0 || F == 0) {
        // M's zero diagonal entry leaves only c1 C + c2 E = 0: decided by signs alone.
        if (C == 0 && E == 0)
            return 1.0;
        if (C * E < 0)
            return -C / E;
        return std::nullopt;
    }
    // B, F < 0: some ratio t works exactly when BF ≥ CE. Only a clear margin counts.
    const double bf = B * F, ce = C * E;
    if (!(bf - ce > 1e-12 * (std::fabs(bf) + std::fabs(ce))))
        return std::nullopt;
    // c1 = c2 where that already works; otherwise C + tE = 0 when CE < 0, the middle of the
    // interval of solutions when CE ≥ 0, and twice the least t with C² ≤ 4tBF when E = 0. Each
    // leaves M's determinant clearly positive.
    const auto works = [&](double t) {
        const double diagonal = 4 * t * bf, across = (C + t * E) * (C + t * E);
        return t > 0 && std::isfinite(t) && diagonal - across > 1e-12 * (diagonal + across);
    };
    if (works(1))
        return 1.0;
    const double t = E == 0 ? C * C / (2 * bf) : ce < 0 ? -C / E : (2 * bf - ce) / (E * E);
    return works(t) ? std::optional<double>(t) : std::nullopt;
}

} // namespace

std::optional<LyapunovFunction> gohLyapunovFunction(const Coefficients &k)
{
    if (k.B == 0 && k.F == 0)
        return std::nullopt;
    for (const Equilibrium &e : equilibria(k)) {
        if (e.shape != Equilibrium::Shape::Point || !(e.x > 0) || !(e.y > 0))
            continue;
        const std::optional<double> t = weightRatio(k.B, k.C, k.E, k.F);
        if (!t || !(*t > 0) || !std::isfinite(*t))
            return std::nullopt;
        return LyapunovFunction{e.x, e.y, 1, *t};
    }
    return std::nullopt;
}
