#include "model/ecology/form_mismatch.h"

#include <cmath>
#include <vector>

namespace {

enum class Sign { Positive, Negative, NotPositive, Zero };

// One condition of a form on a coefficient, or on the parameter the harvest makes of it.
struct Condition {
    std::string what;   // "C", or "r₁ = A + h₁" where the harvest takes part
    double value;
    Sign sign;
};

bool holds(double value, Sign sign)
{
    switch (sign) {
    case Sign::Positive: return value > 0;
    case Sign::Negative: return value < 0;
    case Sign::NotPositive: return value <= 0;
    case Sign::Zero: return value == 0;
    }
    return false;
}

const char *requirement(Sign sign)
{
    switch (sign) {
    case Sign::Positive: return "debe ser positivo";
    case Sign::Negative: return "debe ser negativo";
    case Sign::NotPositive: return "no puede ser positivo";
    case Sign::Zero: return "debe ser cero";
    }
    return "";
}

// The growth rate the harvest leaves in A (or D), as parametersFrom finds it: r = A + h.
Condition growth(const char *letter, const char *rate, const char *harvest, double coefficient, double h)
{
    if (h == 0)
        return {letter, coefficient, Sign::Positive};
    return {std::string(rate) + " = " + letter + " + " + harvest, coefficient + h, Sign::Positive};
}

// The form's conditions in the order A to F, each a sign parametersFrom asks for.
std::vector<Condition> conditionsOf(const Coefficients &k, EcologicalForm form, double h1, double h2)
{
    switch (form) {
    case EcologicalForm::Competition:
    case EcologicalForm::Mutualism: {
        const Sign effect = form == EcologicalForm::Competition ? Sign::Negative : Sign::Positive;
        return {growth("A", "r₁", "h₁", k.A, h1), {"B", k.B, Sign::Negative}, {"C", k.C, effect},
                growth("D", "r₂", "h₂", k.D, h2), {"E", k.E, effect}, {"F", k.F, Sign::Negative}};
    }
    case EcologicalForm::PredatorPrey: {
        const Condition death = h2 == 0 ? Condition{"D", k.D, Sign::Negative}
                                        : Condition{"m = −D − h₂", -k.D - h2, Sign::Positive};
        return {growth("A", "r", "h₁", k.A, h1), {"B", k.B, Sign::NotPositive}, {"C", k.C, Sign::Negative},
                death, {"E", k.E, Sign::Positive}, {"F", k.F, Sign::Zero}};
    }
    }
    return {};
}

} // namespace

std::string mismatchSentence(const Coefficients &k, EcologicalForm form,
                             const std::function<std::string(double)> &number, double h1, double h2)
{
    if (parametersFrom(k, form, h1, h2))
        return {};
    const std::string head = std::string("Estos coeficientes no tienen la forma de «") + formName(form) + "»: ";
    if (!fitsDomain(h1, ParameterDomain::NonNegative) || !fitsDomain(h2, ParameterDomain::NonNegative))
        return head + "la cosecha debe ser positiva o cero";
    for (const Condition &condition : conditionsOf(k, form, h1, h2))
        if (!holds(condition.value, condition.sign))
            return head + condition.what + " " + requirement(condition.sign) + " y es " + number(condition.value);
    // Every sign fits, but a quotient of two coefficients overflows or underflows.
    return head + "sus parámetros no caben en el intervalo de los números del programa";
}
