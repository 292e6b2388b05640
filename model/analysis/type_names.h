#pragma once

#include "model/analysis/linearisation.h"

// The Spanish name of a type, as the program shows it to the user (UTF-8).
const char *typeName(EquilibriumType type);
