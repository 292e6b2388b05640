#pragma once

#include "model/ecology/ecological_form.h"

#include <functional>
#include <string>

// The textbook outcome of the system the parameters give, in Spanish, with the numbers in force
// written by `number`:
//   Competencia          the arrangement of the isoclines, K₁ against K₂/α₂₁ and K₂ against
//                        K₁/α₁₂ (capacities reduced by the harvest, K₁(1 − h₁/r₁), where there
//                        is one), and who wins: «K₁ = 100 > K₂/α₂₁ = 80 y K₂ = 90 < K₁/α₁₂ =
//                        200: gana la especie x»; coexistence; the start decides; the limits.
//   Depredador y presa   the levels x* = m/b and y*, and whether the cycles are neutral (no K)
//                        or damped; a predator that cannot persist (K ≤ x*); Volterra's
//                        principle where the harvest of both species shows it.
//   Mutualismo           bounded coexistence for β₁₂β₂₁ < 1, growth without limit otherwise.
// and in every form a harvest that wipes a species out (r ≤ h).
//
// Every comparison is decided as the program's equilibria decide their types: by the signs of
// X = CD − AF, Y = AE − BD and Δ = BF − CE (crossingTerms, on the coefficients scaled as
// equilibria() scales them), never by the numbers shown. K₁ > K₂/α₂₁ is Y < 0, the x axis's
// equilibrium stable across the axis; K₂ < K₁/α₁₂ is X > 0; β₁₂β₂₁ < 1 is Δ > 0. The numbers
// are those the coefficients give, where the program finds its equilibria: K₁ is −A/B, the x
// of (K₁; 0) in the table, and x* the x of the interior equilibrium. They differ from the exact
// quotients by a few roundings, so two that are compared may at most print alike where the
// relation is strict. Empty where fitsItsForm(parameters) is false.
std::string outcomeSentence(const EcologicalParameters &parameters, const std::function<std::string(double)> &number);
