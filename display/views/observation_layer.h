#pragma once

#include "state/explorer_state.h"

#include <QString>

// What the plots say of the observations shown, in the program's words.

// Their unit: «unidades de 10 000 pieles» for the built-in pelts (counted in thousands), else
// the power of ten the file's values are divided by, «unidades de 1 000», «unidades de 0,01»,
// «unidades de 10⁻⁹» past six digits.
QString observationUnitText(const ExplorerState::ShownObservations &shown);

// The time plots' time axis title: «años desde 1900» where the file's times, counted in years,
// were shifted so that the first is 0; «t desde 5» for other times; «t» where nothing was shifted.
QString observationTimeTitle(const ExplorerState::ShownObservations &shown);
