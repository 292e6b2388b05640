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
    s.cursor = state.cursor();
    for (std::size_t i = 0; i < ExplorerState::kOptionCount; ++i)
        s.options[i] = state.option(ExplorerState::Option(i));
    s.view = state.view();
    for (const Trajectory &t : state.keptTrajectories())
        s.kept.push_back({t.xs(0), t.ys(0), t.coefficients, spanOfStep(t.dt)});
    return s;
}

void applyScenario(ExplorerState &state, const Scenario &s)
{
    for (std::size_t i = 0; i < ExplorerState::kOptionCount; ++i)
        state.setOption(ExplorerState::Option(i), s.options[i]);
    state.setCoefficients(s.coefficients);
    state.setSpan(s.span);
    state.recompute([&] { return s.x0; }, [&] { return s.y0; });

    std::deque<Trajectory> kept;
    for (const Scenario::TrajectoryInputs &inputs : s.kept) {
        Model model;
        const Coefficients &k = inputs.coefficients;
        model.A = k.A;
        model.B = k.B;
        model.C = k.C;
        model.D = k.D;
        model.E = k.E;
        model.F = k.F;
        model.dt = inputs.span / 100;
        model.calcula([&] { return inputs.x0; }, [&] { return inputs.y0; });
        kept.push_back(trajectoryOf(model, k));
    }
    state.setKeptTrajectories(std::move(kept));
    state.setCursor(s.cursor);
    state.setView(s.view);
}
