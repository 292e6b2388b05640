#pragma once

#include "display/toolkit/conversions.h"
#include "model/analysis/equilibria.h"

#include <QString>

// The Spanish texts that describe equilibria, with numbers in the user's locale, each written
// by number (textOf unless a table wants them shorter or exact).
using NumberText = QString (*)(double);

// "punto de silla", "centro (órbitas cerradas)", ...
QString typeText(EquilibriumType type);

// "4; -4" for two real eigenvalues, "-1 ± 2,5i" for a complex pair, "—" for a line or the plane.
QString eigenvaluesText(const Equilibrium &equilibrium, NumberText number = textOf);

// The equation of a line, "4 - y = 0", "x = 0".
QString lineText(const StraightLine &line, NumberText number = textOf);

// Where the equilibrium lies: "(4, 4)" for a point (semicolon-separated where the decimal
// separator is a comma), the equation of a line, "todo el plano".
QString placeText(const Equilibrium &equilibrium, NumberText number = textOf);

// Place, eigenvalues and type, one to a line, for the tooltip of its mark.
QString tooltipText(const Equilibrium &equilibrium);
