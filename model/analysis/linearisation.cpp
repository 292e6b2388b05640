#include "linearisation.h"

#include "tolerance.h"

#include <algorithm>
#include <cmath>

bool isStable(EquilibriumType type)
{
    return type == EquilibriumType::StableNode || type == EquilibriumType::StableDegenerateNode
        || type == EquilibriumType::StableFocus;
}

Jacobian jacobianAt(const Coefficients &k, double x, double y)
{
    Jacobian j;
    j.xx = k.A + 2 * k.B * x + k.C * y;
    j.xy = k.C * x;
    j.yx = k.E * y;
    j.yy = k.D + k.E * x + 2 * k.F * y;
    j.xxTerms = std::fabs(k.A) + std::fabs(2 * k.B * x) + std::fabs(k.C * y);
    j.yyTerms = std::fabs(k.D) + std::fabs(k.E * x) + std::fabs(2 * k.F * y);
    return j;
}

namespace {

bool allFinite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// Two distinct real roots of λ² - trace λ + determinant, the larger first, each computed
// without the cancellation of (trace ± root) / 2 when one of them is small.
Eigenvalues distinctReal(double trace, double determinant, double discriminant)
{
    const double root = std::sqrt(discriminant);
    const double far = trace >= 0 ? (trace + root) / 2 : (trace - root) / 2;
    const double near = far != 0 ? determinant / far : 0;
    return {std::max(far, near), std::min(far, near), 0};
}

} // namespace

Linearisation linearise(const Jacobian &j)
{
    Linearisation result;
    result.jacobian = j;
    result.trace = j.xx + j.yy;
    result.determinant = j.xx * j.yy - j.xy * j.yx;
    const double traceTerms = j.xxTerms + j.yyTerms;
    const double determinantTerms = j.xxTerms * j.yyTerms + std::fabs(j.xy * j.yx);
    // trace² - 4 det written so that it does not cancel when the eigenvalues are close.
    const double difference = j.xx - j.yy;
    const double discriminant = difference * difference + 4 * j.xy * j.yx;
    const double discriminantTerms = traceTerms * traceTerms + 4 * std::fabs(j.xy * j.yx);
    // A triangular Jacobian has its diagonal for eigenvalues, and needs no discriminant.
    const bool triangular = j.xy == 0 || j.yx == 0;
    if (!allFinite({j.xx, j.xy, j.yx, j.yy, result.trace, result.determinant, traceTerms, determinantTerms})
        || (!triangular && !allFinite({discriminant, discriminantTerms}))) {
        result.trace = result.determinant = 0;
        result.type = EquilibriumType::Undetermined;
        return result;
    }

    const bool traceZero = isNegligible(result.trace, traceTerms);
    const bool determinantZero = isNegligible(result.determinant, determinantTerms);
    const bool repeated = triangular ? isNegligible(difference, traceTerms)
                                     : isNegligible(discriminant, discriminantTerms);
    const bool stable = result.trace < 0;
    auto distinct = [&] {
        return triangular ? Eigenvalues{std::max(j.xx, j.yy), std::min(j.xx, j.yy), 0}
                          : distinctReal(result.trace, result.determinant, discriminant);
    };

    if (determinantZero) {
        result.determinant = 0;
        result.eigenvalues = {std::max(result.trace, 0.0), std::min(result.trace, 0.0), 0};
        result.type = EquilibriumType::NonHyperbolic;
    } else if (result.determinant < 0) {
        result.eigenvalues = distinct();
        result.type = EquilibriumType::Saddle;
    } else if (traceZero) {
        result.trace = 0;
        result.eigenvalues = {0, 0, std::sqrt(result.determinant)};
        result.type = EquilibriumType::Centre;
    } else if (repeated) {
        result.eigenvalues = {result.trace / 2, result.trace / 2, 0};
        result.type = stable ? EquilibriumType::StableDegenerateNode : EquilibriumType::UnstableDegenerateNode;
    } else if (triangular || discriminant > 0) {
        result.eigenvalues = distinct();
        result.type = stable ? EquilibriumType::StableNode : EquilibriumType::UnstableNode;
    } else {
        result.eigenvalues = {result.trace / 2, result.trace / 2, std::sqrt(-discriminant) / 2};
        result.type = stable ? EquilibriumType::StableFocus : EquilibriumType::UnstableFocus;
    }
    return result;
}
