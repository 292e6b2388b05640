#pragma once

#include "model/analysis/bifurcation.h"
#include "model/ecology/ecological_form.h"

// The path of the bifurcation diagram along parameter `index` of a form, the others as given:
// the coefficients at each value are coefficientsOf's, and the path holds what the parameter's
// domain holds (K > 0, h ≥ 0, …). Every parameter enters A..F affinely in q = p, or in q = 1/p
// for a carrying capacity (B = −r₁/K₁ and C = −r₁α₁₂/K₁ are linear in 1/K₁), and moves the
// coefficients of one species' equation only: the diagram's closed forms stay polynomials of
// degree at most 4. An index outside the form gives a path with no coefficients (`at` empty).
CoefficientPath parameterPath(const EcologicalParameters &parameters, int index);

// Whether the parameter is a carrying capacity (K₁, K₂, K), which the coefficients hold as 1/K.
bool isCapacity(const EcologicalParameter &parameter);
