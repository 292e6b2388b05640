#include "model/ecology/ecological_path.h"

#include <cmath>

namespace {

std::array<double, 6> numbersOf(const Coefficients &k)
{
    return {k.A, k.B, k.C, k.D, k.E, k.F};
}

} // namespace

bool isCapacity(const EcologicalParameter &parameter)
{
    return parameter.id[0] == 'K';
}

CoefficientPath parameterPath(const EcologicalParameters &parameters, int index)
{
    CoefficientPath path;
    const auto list = parametersOf(parameters.form);
    if (index < 0 || index >= static_cast<int>(list.size()))
        return path;
    const EcologicalParameter &parameter = list[static_cast<std::size_t>(index)];
    const auto at = [parameters, index](double value) {
        EcologicalParameters moved = parameters;
        moved.values[static_cast<std::size_t>(index)] = value;
        return coefficientsOf(moved);
    };
    path.at = at;
    path.reciprocal = isCapacity(parameter);
    path.lowest = 0;
    path.lowestIncluded = parameter.domain == ParameterDomain::NonNegative;

    // The affine form from the formulas themselves, at q = 0 and q = 1: for a capacity q = 0 is
    // K = ∞, where −r/K is −0. The form only cuts the range into monotone pieces; the changes
    // are located on `at`.
    const std::array<double, 6> atZero = numbersOf(at(path.reciprocal ? HUGE_VAL : 0.0));
    const std::array<double, 6> atOne = numbersOf(at(1.0));
    for (std::size_t i = 0; i < 6; ++i) {
        path.constant[i] = atZero[i];
        path.slope[i] = atOne[i] - atZero[i];
    }
    return path;
}
