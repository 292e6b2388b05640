#include "model/analysis/lyapunov.h"

#include "model/analysis/equilibria.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

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

// m 2^e with 1/2 <= |m| < 1: a coefficient, or a product or quotient of a few, beyond the range
// of a double if need be.
struct Scaled {
    double m = 0;
    int e = 0;
};

Scaled scaled(double value)
{
    Scaled s;
    s.m = std::frexp(value, &s.e);
    return s;
}

Scaled operator*(Scaled a, Scaled b)
{
    Scaled product = scaled(a.m * b.m);
    product.e += a.e + b.e;
    return product;
}

Scaled operator/(Scaled a, Scaled b)
{
    Scaled quotient = scaled(a.m / b.m);
    quotient.e += a.e - b.e;
    return quotient;
}

// The weights c1 = 1, c2 = t when t is a normal double; otherwise, for t near 2^n, c1 = 2^(-n/2)
// and c2 = t 2^(-n/2), as far from the ends of the range as the two can be; nothing when they
// are still beyond it.
std::optional<std::pair<double, double>> weightsFor(Scaled t)
{
    const double c2 = std::ldexp(t.m, t.e);
    if (std::isnormal(c2))
        return std::pair(1.0, c2);
    const int shift = -t.e / 2;
    const std::pair weights(std::ldexp(1.0, shift), std::ldexp(t.m, t.e + shift));
    if (std::isnormal(weights.first) && std::isnormal(weights.second))
        return weights;
    return std::nullopt;
}

// (c1, c2) for the interaction matrix [[B, C], [E, F]], with M negative semidefinite (c2 the
// double nearest a ratio that does it); nothing when no positive weights do it, or when rounding
// could decide it. The signs and the comparison of BF with CE are taken on the coefficients
// themselves: a tiny one keeps its sign.
std::optional<std::pair<double, double>> weights(double B, double C, double E, double F)
{
    const double all[] = {B, C, E, F};
    if (!std::all_of(std::begin(all), std::end(all), [](double v) { return std::isfinite(v); }) || B > 0 || F > 0)
        return std::nullopt;
    if (C == 0 && E == 0)   // M diagonal
        return std::pair(1.0, 1.0);
    const bool crossed = (C < 0 && E > 0) || (C > 0 && E < 0);   // CE < 0
    const Scaled ratio = C != 0 && E != 0 ? scaled(std::fabs(C)) / scaled(std::fabs(E)) : Scaled{};
    // M's zero diagonal entry leaves only c1 C + c2 E = 0: decided by signs alone.
    if (B == 0 || F == 0)
        return crossed ? weightsFor(ratio) : std::nullopt;
    // B, F < 0: some ratio t = c2 / c1 works exactly when BF ≥ CE. Only a clear margin counts.
    // c1 = c2 = 1 where that clearly works, in the matrix scaled by a power of two (the margin
    // dwarfs any coefficient the scaling takes below the least double).
    const int exponent = std::ilogb(std::max({std::fabs(B), std::fabs(C), std::fabs(E), std::fabs(F)}));
    const double b = std::scalbn(B, -exponent), c = std::scalbn(C, -exponent);
    const double e = std::scalbn(E, -exponent), f = std::scalbn(F, -exponent);
    const double diagonal = 4 * b * f, across = (c + e) * (c + e);
    if (std::isnormal(diagonal) && diagonal - across > 1e-12 * (diagonal + across))
        return std::pair(1.0, 1.0);
    const Scaled bf = scaled(B) * scaled(F);
    if (crossed)   // t = -C/E leaves M diagonal
        return weightsFor(ratio);
    if (C == 0)   // 4t BF - t² E² = 2t BF > 0 at t = 2BF/E²
        return weightsFor(scaled(2) * bf / (scaled(E) * scaled(E)));
    if (E == 0)   // 4t BF - C² = C² > 0 at t = C²/(2BF)
        return weightsFor(scaled(C) * scaled(C) / (scaled(2) * bf));
    // CE > 0: 4t BF - (C + tE)² = 4 (C/E) (BF - CE) at t = C/E, positive where r = CE/BF < 1.
    const Scaled product = scaled(C) * scaled(E) / bf;
    const double r = std::ldexp(product.m, product.e);
    if (!(1 - r > 1e-12 * (1 + r)))
        return std::nullopt;
    return weightsFor(ratio);
}

} // namespace

std::optional<LyapunovFunction> gohLyapunovFunction(const Coefficients &k)
{
    if (k.B == 0 && k.F == 0)
        return std::nullopt;
    for (const Equilibrium &e : equilibria(k)) {
        if (e.shape != Equilibrium::Shape::Point || !(e.x > 0) || !(e.y > 0))
            continue;
        const auto c = weights(k.B, k.C, k.E, k.F);
        if (!c)
            return std::nullopt;
        return LyapunovFunction{e.x, e.y, c->first, c->second};
    }
    return std::nullopt;
}
