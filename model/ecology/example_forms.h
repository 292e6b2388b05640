#pragma once

#include "model/analysis/examples.h"

// The Spanish name of the form the example's coefficients fit («Competencia», …), as formOf
// finds it; every example fits one. Empty for coefficients of no form.
const char *exampleFormName(const ExampleSystem &example);
