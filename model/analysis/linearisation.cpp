#include "model/analysis/linearisation.h"

#include "model/analysis/tolerance.h"

#include <algorithm>
#include <cmath>
#include <iterator>

bool isStable(EquilibriumType type)
{
    return type == EquilibriumType::StableNode || type == EquilibriumType::StableDegenerateNode
        || type == EquilibriumType::StableStarNode || type == EquilibriumType::StableFocus;
}

Jacobian jacobianAt(const Coefficients &k, double x, double y)
{
    // B x 2 rather than 2 B x: a B near the largest double times x = 0 is 0, not infinity times 0.
    Jacobian j;
    j.xx = k.A + k.B * x * 2 + k.C * y;
    j.xy = k.C * x;
    j.yx = k.E * y;
    j.yy = k.D + k.E * x + k.F * y * 2;
    j.xxTerms = std::fabs(k.A) + std::fabs(k.B * x * 2) + std::fabs(k.C * y);
    j.yyTerms = std::fabs(k.D) + std::fabs(k.E * x) + std::fabs(k.F * y * 2);
    return j;
}

namespace {

using T = EquilibriumType;

EquilibriumType byStability(bool stable, EquilibriumType ifStable, EquilibriumType ifUnstable)
{
    return stable ? ifStable : ifUnstable;
}

// A triangular matrix has its diagonal for eigenvalues: each is judged against its own terms,
// with no product that could leave the range of a double.
Linearisation triangular(const Jacobian &j, int exponent)
{
    Linearisation result;
    const bool xxZero = isNegligible(j.xx, j.xxTerms);
    const bool yyZero = isNegligible(j.yy, j.yyTerms);
    const double larger = std::max(j.xx, j.yy), smaller = std::min(j.xx, j.yy);
    if (xxZero || yyZero) {
        const double other = xxZero ? (yyZero ? 0 : j.yy) : j.xx;
        result.eigenvalues = {std::max(other, 0.0), std::min(other, 0.0), 0, true};
        result.type = T::NonHyperbolic;
        return result;
    }
    result.eigenvalues = {larger, smaller, 0, true};
    if ((j.xx > 0) != (j.yy > 0)) {
        result.type = T::Saddle;
        return result;
    }
    const bool stable = j.xx < 0;
    // The difference of the two, in the scaled matrix where it cannot overflow.
    const double difference = std::ldexp(j.xx, -exponent) - std::ldexp(j.yy, -exponent);
    const double terms = std::ldexp(j.xxTerms, -exponent) + std::ldexp(j.yyTerms, -exponent);
    if (!isNegligible(difference, terms)) {
        result.type = byStability(stable, T::StableNode, T::UnstableNode);
        return result;
    }
    const double mean = j.xx / 2 + j.yy / 2;
    result.eigenvalues = {mean, mean, 0, true};
    // λ I turns every direction into an eigenvector; a corner entry leaves only one.
    const bool star = j.xy == 0 && j.yx == 0;
    result.type = star ? byStability(stable, T::StableStarNode, T::UnstableStarNode)
                       : byStability(stable, T::StableDegenerateNode, T::UnstableDegenerateNode);
    return result;
}

// Eigenvalues of the scaled matrix, scaled back by 2^exponent; all 0 and not representable when
// they leave the range of a double.
Eigenvalues scaledBack(double first, double second, double imaginary, int exponent)
{
    const Eigenvalues e{std::ldexp(first, exponent), std::ldexp(second, exponent), std::ldexp(imaginary, exponent),
                        true};
    if (std::isfinite(e.first) && std::isfinite(e.second) && std::isfinite(e.imaginary))
        return e;
    return {0, 0, 0, false};
}

// Two distinct real roots of λ² - trace λ + determinant, the larger first, each computed
// without the cancellation of (trace ± root) / 2 when one of them is small.
Eigenvalues distinctReal(double trace, double determinant, double discriminant, int exponent)
{
    const double root = std::sqrt(discriminant);
    const double far = trace >= 0 ? (trace + root) / 2 : (trace - root) / 2;
    const double near = far != 0 ? determinant / far : 0;
    return scaledBack(std::max(far, near), std::min(far, near), 0, exponent);
}

// A matrix with both corner entries non-zero, scaled so that its largest entry or term is
// below 1 and at least 1/2.
Linearisation full(const Jacobian &j, int exponent)
{
    Linearisation result;
    const double trace = j.xx + j.yy;
    const double determinant = j.xx * j.yy - j.xy * j.yx;
    const double traceTerms = j.xxTerms + j.yyTerms;
    const double determinantTerms = j.xxTerms * j.yyTerms + std::fabs(j.xy * j.yx);
    // trace² - 4 det written so that it does not cancel when the eigenvalues are close.
    const double difference = j.xx - j.yy;
    const double discriminant = difference * difference + 4 * j.xy * j.yx;
    const double discriminantTerms = traceTerms * traceTerms + 4 * std::fabs(j.xy * j.yx);
    const bool stable = trace < 0;

    if (isNegligible(determinant, determinantTerms)) {
        result.eigenvalues = scaledBack(std::max(trace, 0.0), std::min(trace, 0.0), 0, exponent);
        result.type = T::NonHyperbolic;
    } else if (determinant < 0) {
        result.eigenvalues = distinctReal(trace, determinant, discriminant, exponent);
        result.type = T::Saddle;
    } else if (isNegligible(trace, traceTerms)) {
        // ± i √det: closed orbits only where a first integral proves them, otherwise the
        // nonlinear terms decide between a centre and a weak focus.
        result.eigenvalues = scaledBack(0, 0, std::sqrt(determinant), exponent);
        result.type = j.firstIntegral ? T::Centre : T::NonHyperbolic;
    } else if (std::sqrt(std::fabs(discriminant)) <= kRepeatedTolerance * std::sqrt(discriminantTerms)) {
        // The eigenvalues differ by the square root of the discriminant.
        result.eigenvalues = scaledBack(trace / 2, trace / 2, 0, exponent);
        result.type = byStability(stable, T::StableDegenerateNode, T::UnstableDegenerateNode);
    } else if (discriminant > 0) {
        result.eigenvalues = distinctReal(trace, determinant, discriminant, exponent);
        result.type = byStability(stable, T::StableNode, T::UnstableNode);
    } else {
        result.eigenvalues = scaledBack(trace / 2, trace / 2, std::sqrt(-discriminant) / 2, exponent);
        result.type = byStability(stable, T::StableFocus, T::UnstableFocus);
    }
    return result;
}

} // namespace

Linearisation linearise(const Jacobian &j)
{
    const double all[] = {j.xx, j.xy, j.yx, j.yy, j.xxTerms, j.yyTerms};
    if (!std::all_of(std::begin(all), std::end(all), [](double v) { return std::isfinite(v); }))
        return {{0, 0, 0, false}, T::Undetermined};
    const double largest = std::max({std::fabs(j.xx), std::fabs(j.xy), std::fabs(j.yx), std::fabs(j.yy), j.xxTerms,
                                     j.yyTerms});
    int exponent = 0;
    std::frexp(largest, &exponent);   // largest = m 2^exponent with 1/2 <= m < 1 (0 gives 0)
    if (j.xy == 0 || j.yx == 0)
        return triangular(j, exponent);
    // Scaling by a power of two is exact, and changes no ratio of the entries.
    Jacobian scaled;
    scaled.xx = std::ldexp(j.xx, -exponent);
    scaled.xy = std::ldexp(j.xy, -exponent);
    scaled.yx = std::ldexp(j.yx, -exponent);
    scaled.yy = std::ldexp(j.yy, -exponent);
    scaled.xxTerms = std::ldexp(j.xxTerms, -exponent);
    scaled.yyTerms = std::ldexp(j.yyTerms, -exponent);
    scaled.firstIntegral = j.firstIntegral;
    return full(scaled, exponent);
}
