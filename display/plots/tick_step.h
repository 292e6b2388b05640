#pragma once

// How a step of 1, 2, 5 or 10 times the power of ten 10^n is computed. The two forms may differ
// in the last bit.
enum class StepForm {
    // A negative power divides, so that 0.02 is the double nearest 0.02; ten times 10^n is
    // 10^(n+1) in the same form.
    NearestDecimal,
    // The factor times 10^n as std::pow gives it, ten included.
    ScaledPower,
};

// The smallest step of 1, 2 or 5 times a power of ten that is at least `minimum`; 0 when
// `minimum` is no positive finite number or the step would be beyond the range of a double.
double roundStepAtLeast(double minimum, StepForm form = StepForm::NearestDecimal);
