#include "display/plots/tick_step.h"

#include <cmath>
#include <initializer_list>

namespace {

// factor × 10^exponent in the given form.
double scaledPower(double factor, double exponent, StepForm form)
{
    if (form == StepForm::NearestDecimal && exponent < 0)
        return factor / std::pow(10.0, -exponent);
    return factor * std::pow(10.0, exponent);
}

} // namespace

double roundStepAtLeast(double minimum, StepForm form)
{
    if (!(minimum > 0) || !std::isfinite(minimum))
        return 0;
    const double exponent = std::floor(std::log10(minimum));
    for (double factor : {1.0, 2.0, 5.0}) {
        const double step = scaledPower(factor, exponent, form);
        if (step >= minimum)
            return std::isfinite(step) ? step : 0;
    }
    // Beyond five times the power of ten of `minimum`: ten times it.
    const double step =
        form == StepForm::NearestDecimal ? scaledPower(1, exponent + 1, form) : 10 * std::pow(10.0, exponent);
    return std::isfinite(step) ? step : 0;
}
