// Several trajectories at once, their turning points on the time cursor, and samples joined
// by lines: the options of the plots beyond the analysis overlays. All off at start.
#include "interaction/prog.h"

#include "display/plots/plot_surface.h"
#include "interaction/analysis/analysis_layer.h"

#include <QAction>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

bool sameSamples(const Trajectory &a, const Model &m)
{
    for (int k = kFirstSample; k <= kLastSample; ++k)
        if (a.ok(k) != m.ok(k) || a.xs(k) != m.xs(k) || a.ys(k) != m.ys(k))
            return false;
    return a.dt == m.dt;
}

// Whether the window's option is on; off while the window's actions are being made.
bool isOn(const Prog &window, WindowAction option)
{
    const QAction *action = window.action(option);
    return action && action->isChecked();
}

} // namespace

// Kept trajectories, turning points or joined samples switched on or off. Kept trajectories
// are forgotten with their option; Ctrl+arrows move between turning points only while they
// are shown, otherwise the keys keep the meaning they have where the focus is.
void Prog::trajectoryOptionsChanged()
{
    if (!isOn(*this, WindowAction::KeepTrajectories))
        trajectories_.kept.clear();
    const bool turning = isOn(*this, WindowAction::TurningPoints);
    action(WindowAction::NextTurningPoint)->setEnabled(turning);
    action(WindowAction::PreviousTurningPoint)->setEnabled(turning);
    updateUnderlays();
    pintura();
}

void Prog::clearKeptTrajectories()
{
    trajectories_.kept.clear();
    updateUnderlays();
    pintura();
}

// While kept trajectories are wanted, the one a recomputation replaced joins them, unless
// nothing changed; of a drag, or of a continuous change, only the trajectory in force when it
// started is kept.
void Prog::keepReplacedTrajectory(const Trajectory &replaced)
{
    Trajectories &t = trajectories_;
    if (!isOn(*this, WindowAction::KeepTrajectories) || sameSamples(replaced, model))
        return;
    if ((drag_.dragging || t.continuing) && std::exchange(t.keptDuringDrag, true))
        return;
    t.kept.push_front(replaced);
    if (t.kept.size() > kMaxKept)
        t.kept.pop_back();
    updateUnderlays();
}

void Prog::beginContinuousChange()
{
    trajectories_.continuing = true;
    trajectories_.keptDuringDrag = false;
}

void Prog::endContinuousChange()
{
    trajectories_.continuing = false;
}

void Prog::moveToTurningPoint(int direction)
{
    const int c = HScroll1->value();
    const auto &points = trajectories_.turningPoints;
    int target = c;
    if (direction > 0) {
        for (const TurningPoint &p : points)
            if (p.sample > c) {
                target = p.sample;
                break;
            }
    } else {
        for (auto it = points.rbegin(); it != points.rend(); ++it)
            if (it->sample < c) {
                target = it->sample;
                break;
            }
    }
    HScroll1->setValue(target);
}

PlotScene Prog::plotScene() const
{
    PlotScene scene;
    scene.current = &model;
    scene.cursor = HScroll1->value();
    const Trajectories &t = trajectories_;
    if (isOn(*this, WindowAction::KeepTrajectories))
        scene.kept = &t.kept;
    scene.joinSamples = isOn(*this, WindowAction::JoinSamples);
    if (isOn(*this, WindowAction::TurningPoints))
        scene.turningPoints = &t.turningPoints;
    return scene;
}

void Prog::updateUnderlays()
{
    const OverlayOptions o = analysis->options();
    const bool kept = isOn(*this, WindowAction::KeepTrajectories) && !trajectories_.kept.empty();
    struct Plot {
        PlotSurface *surface;
        PlotKind kind;
        bool overlays;
    };
    const Plot plots[] = {{XYgraf, PlotKind::PhasePlane, o.anyInPhasePlane()},
                          {Xgraf, PlotKind::XAgainstTime, o.anyInTimePlots()},
                          {Ygraf, PlotKind::YAgainstTime, o.anyInTimePlots()}};
    for (const Plot &plot : plots) {
        if (!plot.overlays && !kept) {
            plot.surface->setUnderlayPainter({});
            continue;
        }
        plot.surface->setUnderlayPainter([this, kind = plot.kind](QPainter &painter, const QSizeF &area) {
            paintUnderlay(kind, painter, area);
        });
    }
}

void Prog::paintUnderlay(PlotKind plot, QPainter &painter, const QSizeF &area) const
{
    const OverlayOptions o = analysis->options();
    if (plot == PlotKind::PhasePlane) {
        if (o.anyInPhasePlane())
            paintPhaseOverlays(painter, area, o, analysis->system());
    } else if (o.anyInTimePlots()) {
        paintTimeOverlays(painter, area, o, analysis->system());
    }
    const Trajectories &t = trajectories_;
    if (isOn(*this, WindowAction::KeepTrajectories) && !t.kept.empty())
        paintKeptTrajectories(painter, plot, t.kept, isOn(*this, WindowAction::JoinSamples));
}
