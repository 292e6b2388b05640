#pragma once

#include "model/analysis/analysed_system.h"

#include <QString>
#include <QStringList>

// The system in force as a printed sheet states it, with numbers in the user's locale.

// The two equations with the coefficients in force, each written exactly (the shortest text
// that reads back as the same double), a term whose coefficient is 0 left out:
// "x' = x (4 - 0,5 x - y)", "y' = y (-2 + x)".
QStringList equationLines(const Coefficients &k);

// "A = 4; B = -0,5; C = -1; D = -2; E = 1; F = 0", exact, separated as lists of numbers are.
QString coefficientLine(const Coefficients &k);

// "Punto inicial: (1; 1,6)    Intervalo de tiempo: 2 (dt = 0,02)", exact.
QString startLine(const AnalysedSystem &system, double x0, double y0);

// The three above, one to a line: what a print puts under its picture.
QStringList systemLines(const AnalysedSystem &system, double x0, double y0);
