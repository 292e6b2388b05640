#include "model/ecology/ecological_form.h"

#include <cmath>
#include <iterator>

namespace {

using D = ParameterDomain;

constexpr EcologicalParameter kCompetition[] = {
    {"r1", "r₁", "tasa de crecimiento intrínseco de la especie x", D::Positive},
    {"K1", "K₁", "capacidad de carga de la especie x", D::Positive},
    {"alfa12", "α₁₂", "efecto competitivo de cada individuo de y sobre x", D::Positive},
    {"r2", "r₂", "tasa de crecimiento intrínseco de la especie y", D::Positive},
    {"K2", "K₂", "capacidad de carga de la especie y", D::Positive},
    {"alfa21", "α₂₁", "efecto competitivo de cada individuo de x sobre y", D::Positive},
    {"h1", "h₁", "tasa de cosecha de la especie x", D::NonNegative},
    {"h2", "h₂", "tasa de cosecha de la especie y", D::NonNegative},
};

constexpr EcologicalParameter kPredatorPrey[] = {
    {"r", "r", "tasa de crecimiento de la presa x sin depredadores", D::Positive},
    {"a", "a", "tasa de depredación: presas capturadas por depredador y por presa", D::Positive},
    {"b", "b", "tasa de conversión: nuevos depredadores por presa capturada (eficiencia × a)", D::Positive},
    {"m", "m", "tasa de mortalidad del depredador y sin presas", D::Positive},
    {"K", "K", "capacidad de carga de la presa x (∞: sin límite)", D::PositiveOrInfinite},
    {"h1", "h₁", "tasa de cosecha de la presa x", D::NonNegative},
    {"h2", "h₂", "tasa de cosecha del depredador y", D::NonNegative},
};

constexpr EcologicalParameter kMutualism[] = {
    {"r1", "r₁", "tasa de crecimiento intrínseco de la especie x", D::Positive},
    {"K1", "K₁", "capacidad de carga de la especie x", D::Positive},
    {"beta12", "β₁₂", "beneficio de cada individuo de y para x", D::Positive},
    {"r2", "r₂", "tasa de crecimiento intrínseco de la especie y", D::Positive},
    {"K2", "K₂", "capacidad de carga de la especie y", D::Positive},
    {"beta21", "β₂₁", "beneficio de cada individuo de x para y", D::Positive},
    {"h1", "h₁", "tasa de cosecha de la especie x", D::NonNegative},
    {"h2", "h₂", "tasa de cosecha de la especie y", D::NonNegative},
};

static_assert(std::size(kCompetition) <= kMaxParameters && std::size(kMutualism) <= kMaxParameters);

// Competition and mutualism share their formulas but for the sign of the effect of one
// species on the other: −1 or +1.
Coefficients twoSpecies(const std::array<double, kMaxParameters> &v, double effectSign)
{
    const double r1 = v[0], K1 = v[1], c12 = v[2], r2 = v[3], K2 = v[4], c21 = v[5], h1 = v[6], h2 = v[7];
    Coefficients k;
    k.A = r1 - h1;
    k.B = -(r1 / K1);
    k.C = effectSign * ((r1 * c12) / K1);
    k.D = r2 - h2;
    k.E = effectSign * ((r2 * c21) / K2);
    k.F = -(r2 / K2);
    return k;
}

std::optional<EcologicalParameters> twoSpeciesFrom(const Coefficients &k, EcologicalForm form, double effectSign,
                                                   double h1, double h2)
{
    const double r1 = k.A + h1, r2 = k.D + h2;
    // K₁ = r₁/(−B) and α₁₂ = C/B: B = −r₁/K₁ and C = −r₁α₁₂/K₁ give C/B = α₁₂.
    EcologicalParameters p{form, {r1, r1 / -k.B, effectSign * (k.C / -k.B), r2, r2 / -k.F,
                                  effectSign * (k.E / -k.F), h1, h2}};
    if (!(k.B < 0 && k.F < 0) || !isValid(p))
        return std::nullopt;
    return p;
}

} // namespace

const char *formName(EcologicalForm form)
{
    switch (form) {
    case EcologicalForm::Competition: return "Competencia";
    case EcologicalForm::PredatorPrey: return "Depredador y presa";
    case EcologicalForm::Mutualism: return "Mutualismo";
    }
    return "";
}

std::span<const EcologicalParameter> parametersOf(EcologicalForm form)
{
    switch (form) {
    case EcologicalForm::Competition: return kCompetition;
    case EcologicalForm::PredatorPrey: return kPredatorPrey;
    case EcologicalForm::Mutualism: return kMutualism;
    }
    return {};
}

int EcologicalParameters::indexOf(std::string_view id) const
{
    const auto list = parametersOf(form);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (id == list[i].id)
            return static_cast<int>(i);
    return -1;
}

double EcologicalParameters::value(std::string_view id) const
{
    const int index = indexOf(id);
    return index < 0 ? 0 : values[static_cast<std::size_t>(index)];
}

bool fitsDomain(double value, ParameterDomain domain)
{
    switch (domain) {
    case ParameterDomain::Positive: return value > 0 && std::isfinite(value);
    case ParameterDomain::PositiveOrInfinite: return value > 0;   // NaN fails too
    case ParameterDomain::NonNegative: return value >= 0 && std::isfinite(value);
    }
    return false;
}

bool isValid(const EcologicalParameters &parameters)
{
    const auto list = parametersOf(parameters.form);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (!fitsDomain(parameters.values[i], list[i].domain))
            return false;
    return true;
}

Coefficients coefficientsOf(const EcologicalParameters &parameters)
{
    const auto &v = parameters.values;
    switch (parameters.form) {
    case EcologicalForm::Competition: return twoSpecies(v, -1);
    case EcologicalForm::Mutualism: return twoSpecies(v, 1);
    case EcologicalForm::PredatorPrey: {
        const double r = v[0], a = v[1], b = v[2], m = v[3], K = v[4], h1 = v[5], h2 = v[6];
        // −r/∞ is −0; no limit is a plain 0.
        return {r - h1, std::isinf(K) ? 0.0 : -(r / K), -a, -m - h2, b, 0};
    }
    }
    return {};
}

std::optional<EcologicalParameters> parametersFrom(const Coefficients &k, EcologicalForm form, double h1, double h2)
{
    switch (form) {
    case EcologicalForm::Competition: return twoSpeciesFrom(k, form, -1, h1, h2);
    case EcologicalForm::Mutualism: return twoSpeciesFrom(k, form, 1, h1, h2);
    case EcologicalForm::PredatorPrey: {
        if (k.F != 0 || !(k.B <= 0))
            return std::nullopt;
        const double r = k.A + h1;
        const double K = k.B == 0 ? HUGE_VAL : r / -k.B;
        EcologicalParameters p{form, {r, -k.C, k.E, -k.D - h2, K, h1, h2}};
        // A B ≠ 0 so small that r/−B overflows is a finite capacity all the same, which ∞ would deny.
        if (!isValid(p) || (k.B != 0 && std::isinf(K)))
            return std::nullopt;
        return p;
    }
    }
    return std::nullopt;
}

std::optional<EcologicalParameters> formOf(const Coefficients &k)
{
    for (int form = 0; form < kFormCount; ++form)
        if (auto p = parametersFrom(k, static_cast<EcologicalForm>(form)))
            return p;
    return std::nullopt;
}

bool fitsItsForm(const EcologicalParameters &parameters)
{
    if (!isValid(parameters))
        return false;
    const Coefficients k = coefficientsOf(parameters);
    const auto back = parametersFrom(k, parameters.form, parameters.value("h1"), parameters.value("h2"));
    // A finite K whose r/K underflows to 0 would come back as no limit at all.
    return back && std::isinf(back->value("K")) == std::isinf(parameters.value("K"));
}

HarvestYields harvestYields(const EcologicalParameters &parameters, double x, double y)
{
    return {parameters.value("h1") * x, parameters.value("h2") * y};
}
