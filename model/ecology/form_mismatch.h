#pragma once

#include "model/coefficients.h"
#include "model/ecology/ecological_form.h"

#include <functional>
#include <string>

// Why the coefficients k, with the harvest h₁, h₂, fit no parameters of form, in one Spanish
// sentence with the numbers written by `number`: the first coefficient, from A to F, whose sign
// the form does not allow, e.g. «Estos coeficientes no tienen la forma de «Competencia»: C debe
// ser negativo y es 0,5». Empty where parametersFrom(k, form, h1, h2) finds the parameters.
std::string mismatchSentence(const Coefficients &k, EcologicalForm form,
                             const std::function<std::string(double)> &number, double h1 = 0, double h2 = 0);
