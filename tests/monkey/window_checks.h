#pragma once

#include "model/model.h"

#include <QString>

#include <optional>

class Prog;

// The checks that the monkey test makes on the window after its actions. Each returns the
// fault it found as a sentence, or an empty text.
namespace monkey {

// The number a text shows by the program's own conversion, or nothing.
std::optional<double> tryNumber(const QString &text);

// Whether a text shows value to within tolerance (plus what 15 significant digits lose),
// read independently of the program's conversion.
bool shows(const QString &text, double value, double tolerance);

bool sameTrajectory(const Model &a, const Model &b);
bool sameCoefficients(const Model &a, const Model &b);
double coefficient(const Model &m, int index);

// A sample that breaks the rules of the stored trajectory.
QString trajectoryFault(const Model &m);

// A plot that does not show exactly the dots of the valid samples.
QString plotFault(const Prog &window);

} // namespace monkey
