#pragma once

#include "state/scenario.h"

class ExplorerState;

// The state as a scenario: its coefficients, span, time cursor, options, view and kept
// trajectories (each from its own sample 0, coefficients and dt), with the initial point given.
// The windows' settings (live coefficients, the diagram) are left for the caller to fill.
Scenario scenarioOf(const ExplorerState &state, double x0, double y0);

// Shows a scenario in the state, as if its values had been typed and Calcular pressed: the
// options, the coefficients and the span, a recomputation from its initial point, then its kept
// trajectories recomputed from their inputs, the time cursor, the view and the ecological form.
void applyScenario(ExplorerState &state, const Scenario &s);

// The span whose dt = span / 100 is exactly dt. Every dt the state takes comes from a span
// this way, and dt * 100 gives that span back; for any other dt the nearest span that gives
// it, or dt * 100 when none does.
double spanOfStep(double dt);
