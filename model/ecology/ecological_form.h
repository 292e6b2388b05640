#pragma once

#include "model/coefficients.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>

// The system in the parameters of a population-ecology textbook. Each form maps its parameters
// to the six coefficients by fixed formulas, and back where the coefficients have its signs:
//
//   Competencia          r₁, K₁, α₁₂, r₂, K₂, α₂₁ > 0   A = r₁, B = −r₁/K₁, C = −r₁α₁₂/K₁,
//                                                      D = r₂, E = −r₂α₂₁/K₂, F = −r₂/K₂
//   Depredador y presa   r, a, b, m > 0, K > 0 or ∞     A = r, B = −r/K (0 for K = ∞), C = −a,
//                                                      D = −m, E = b, F = 0
//   Mutualismo           r₁, K₁, β₁₂, r₂, K₂, β₂₁ > 0   as competition with C, E of the other sign
//
// and in every form a proportional harvest h₁, h₂ ≥ 0 (Cosecha): A − h₁ and D − h₂.
enum class EcologicalForm { Competition, PredatorPrey, Mutualism };
inline constexpr int kFormCount = 3;

// What values a parameter takes.
enum class ParameterDomain {
    Positive,             // > 0 and finite
    PositiveOrInfinite,   // > 0, ∞ meaning "no limit"
    NonNegative,          // ≥ 0 and finite: a harvest rate
};

struct EcologicalParameter {
    const char *id;        // ASCII, for object names and files: "r1", "K1", "alfa12", "h1", …
    const char *symbol;    // UTF-8, as a textbook writes it: "r₁", "K₁", "α₁₂", "h₁", …
    const char *meaning;   // Spanish, lower case: "capacidad de carga de la especie x"
    ParameterDomain domain;
};

// The form's Spanish name: «Competencia», «Depredador y presa», «Mutualismo».
const char *formName(EcologicalForm form);

// The form's own parameters in their order, then the harvest h₁, h₂.
std::span<const EcologicalParameter> parametersOf(EcologicalForm form);
inline constexpr int kMaxParameters = 8;

// One form with a value for each of its parameters, in the order of parametersOf(form).
struct EcologicalParameters {
    EcologicalForm form = EcologicalForm::Competition;
    std::array<double, kMaxParameters> values{};

    int count() const { return static_cast<int>(parametersOf(form).size()); }
    // The index of the parameter with this id in the form, or -1.
    int indexOf(std::string_view id) const;
    // The value of the parameter with this id; 0 where the form has none.
    double value(std::string_view id) const;

    friend bool operator==(const EcologicalParameters &, const EcologicalParameters &) = default;
};

// Whether value lies in the domain.
bool fitsDomain(double value, ParameterDomain domain);
// Whether every parameter lies in its domain.
bool isValid(const EcologicalParameters &parameters);

// The coefficients by the formulas above, each product and quotient in the order written.
// Parameters outside their domains give coefficients all the same, as the formulas make them.
Coefficients coefficientsOf(const EcologicalParameters &parameters);

// The parameters of form that give k, with the harvest h₁, h₂ given (r₁ = A + h₁, …), where the
// signs fit the form and every parameter lands in its domain; nothing otherwise. Where a formula
// inverts exactly (a quotient of two coefficients) the parameter is that quotient, so that
// coefficientsOf gives k back to within one rounding per operation.
std::optional<EcologicalParameters> parametersFrom(const Coefficients &k, EcologicalForm form, double h1 = 0,
                                                   double h2 = 0);

// The first form whose signs k fits with no harvest, or nothing.
std::optional<EcologicalParameters> formOf(const Coefficients &k);

// Whether the parameters are valid and their coefficients finite with the signs of the form, so
// that parametersFrom takes them back: a K₁ so small that r₁/K₁ overflows, or so large that it
// underflows to 0, is valid by itself but gives coefficients of no form.
bool fitsItsForm(const EcologicalParameters &parameters);

// What the harvest takes per unit of time at the populations (x, y): h₁·x and h₂·y (0 without
// harvest). Meant for x, y ≥ 0; elsewhere the products as they are.
struct HarvestYields {
    double x = 0, y = 0;
};
HarvestYields harvestYields(const EcologicalParameters &parameters, double x, double y);
