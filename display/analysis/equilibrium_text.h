#pragma once

#include "equilibria.h"

#include <QString>

// The Spanish texts that describe equilibria, with numbers in the user's locale.

// "punto de silla", "centro (órbitas cerradas)", ...
QString typeText(EquilibriumType type);

// "4; -4" for two real eigenvalues, "-1 ± 2,5i" for a complex pair, "—" for a line or the plane.
QString eigenvaluesText(const Equilibrium &equilibrium);

// The equation of a line, "4 - y = 0", "x = 0".
QString lineText(const StraightLine &line);

// Where the equilibrium lies: "(4, 4)" for a point (semicolon-separated where the decimal
// separator is a comma), the equation of a line, "todo el plano".
QString placeText(const Equilibrium &equilibrium);

// Place, eigenvalues and type, one to a line, for the tooltip of its mark.
QString tooltipText(const Equilibrium &equilibrium);
