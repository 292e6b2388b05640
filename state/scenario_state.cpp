#include "state/scenario_state.h"

#include "model/model.h"
#include "model/trajectory.h"
#include "state/explorer_state.h"

#include <cmath>
#include <deque>

double spanOfStep(double dt)
{
    const double span = dt * 100;
    // Up to a few doubles either side of dt * 100 (dt set through the model, not as a span).
    double below = span, above = span;
    for (int i = 0; i < 4; ++i) {
        if (below / 100 == dt)
            return below;
        if (above / 100 == dt)
            return above;
        below = std::nextafter(below, 0.0);
        above = std::nextafter(above, HUGE_VAL);
    }
    return span;
}

Scenario scenarioOf(const ExplorerState &state, double x0, double y0)
{
    Scenario s;
    s.coefficients = state.coefficients();
    s.x0 = x0;
    s.y0 = y0;
    s.span = spanOfStep(state.model().dt);
    const AnalysedSystem &shown = state.system();
    if (!bitIdentical(shown.coefficients, s.coefficients) || shown.dt != state.model().dt) {
        s.trajectoryCoefficients = shown.coefficients;
        s.trajectorySpan = spanOfStep(shown.dt);
    }
    s.cursor = state.cursor();
    for (std::size_t i = 0; i < ExplorerState::kOptionCount; ++i)
        s.options[i] = state.option(ExplorerState::Option(i));
    s.view = state.view();
    s.legendCorner = state.legendCorner();
    for (const Trajectory &t : state.keptTrajectories())
        s.kept.push_back({t.xs(0), t.ys(0), t.coefficients, spanOfStep(t.dt)});
    s.ecologicalForm = state.ecologicalForm();
    s.ecology = state.ecology();
    if (const auto &shown = state.observations())
        s.data = Scenario::Data{shown->observed, shown->scaled.unit, shown->scaled.timeOffset};
    return s;
}

void applyScenario(ExplorerState &state, const Scenario &s)
{
    for (std::size_t i = 0; i < ExplorerState::kOptionCount; ++i)
        state.setOption(ExplorerState::Option(i), s.options[i]);
    // The trajectory with what it was computed with, then the coefficients and span set since.
    state.setCoefficients(s.trajectoryCoefficients.value_or(s.coefficients));
    state.setSpan(s.trajectorySpan.value_or(s.span));
    state.recompute([&] { return s.x0; }, [&] { return s.y0; });
    state.setCoefficients(s.coefficients);
    state.setSpan(s.span);
    // The form saved with its parameters as typed; an older file, the form its coefficients fit.
    if (!s.ecologicalForm || !(s.ecology && state.showEcology(*s.ecology))) {
        state.showFormOfCoefficients();
        if (s.ecologicalForm)
            state.setEcologicalForm(*s.ecologicalForm);
    }

    std::deque<Trajectory> kept;
    for (const Scenario::TrajectoryInputs &inputs : s.kept)
        kept.push_back(computedTrajectory({inputs.x0, inputs.y0, inputs.coefficients, inputs.span / 100}));
    state.setKeptTrajectories(std::move(kept));
    state.setCursor(s.cursor);
    state.setView(s.view);
    state.setLegendCorner(s.options[std::size_t(ExplorerState::Option::Legend)] ? s.legendCorner : std::nullopt);
    // The reader took only data the state can show in their unit.
    if (s.data)
        state.setObservations(s.data->observed, s.data->unit);
    else
        state.clearObservations();
}
