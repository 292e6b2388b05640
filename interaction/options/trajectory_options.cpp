// Several trajectories at once, their turning points on the time cursor, and samples joined
// by lines: the options of the plots beyond the analysis overlays. All off at start.
#include "prog.h"

#include "analysis_layer.h"
#include "plot_surface.h"

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

} // namespace

void Prog::createTrajectoryActions()
{
    Trajectories &t = trajectories_;
    t.keep = addWindowAction("conservar", "Conservar trayectorias", QKeySequence(Qt::Key_T), true);
    t.clear = addWindowAction("borrarTrayectorias", "Borrar trayectorias", QKeySequence(QKeySequence::Delete), false);
    t.turning = addWindowAction("extremos", "Máximos y mínimos", QKeySequence(Qt::Key_M), true);
    t.join = addWindowAction("unirPuntos", "Unir puntos", QKeySequence(Qt::Key_L), true);
    t.next = addWindowAction("siguienteExtremo", "Ir al extremo siguiente", QKeySequence(Qt::CTRL | Qt::Key_Right), false);
    t.previous = addWindowAction("anteriorExtremo", "Ir al extremo anterior", QKeySequence(Qt::CTRL | Qt::Key_Left), false);
    // Ctrl+arrows move between turning points only while they are shown; otherwise the keys
    // keep the meaning they have where the focus is.
    for (QAction *move : {t.next, t.previous})
        move->setEnabled(false);

    connect(t.keep, &QAction::toggled, this, [this](bool on) {
        if (!on)
            trajectories_.kept.clear();
        updateUnderlays();
        pintura();
    });
    connect(t.clear, &QAction::triggered, this, [this] {
        trajectories_.kept.clear();
        updateUnderlays();
        pintura();
    });
    connect(t.turning, &QAction::toggled, this, [this](bool on) {
        trajectories_.next->setEnabled(on);
        trajectories_.previous->setEnabled(on);
        pintura();
    });
    connect(t.join, &QAction::toggled, this, [this] {
        updateUnderlays();
        pintura();
    });
    connect(t.next, &QAction::triggered, this, [this] { moveToTurningPoint(+1); });
    connect(t.previous, &QAction::triggered, this, [this] { moveToTurningPoint(-1); });

    // In the context menu after the overlays, before the windows.
    QList<QAction *> &menu = analysis->menuActions;
    qsizetype at = menu.indexOf(nullptr);
    if (at < 0)
        at = menu.size();
    for (QAction *action : {static_cast<QAction *>(nullptr), t.keep, t.clear, t.turning, t.join})
        menu.insert(at++, action);
}

// While kept trajectories are wanted, the one a recomputation replaced joins them, unless
// nothing changed; of a drag, or of a continuous change, only the trajectory in force when it
// started is kept.
void Prog::keepReplacedTrajectory(const Trajectory &replaced)
{
    Trajectories &t = trajectories_;
    if (!t.keep || !t.keep->isChecked() || sameSamples(replaced, model))
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
    if (t.keep && t.keep->isChecked())
        scene.kept = &t.kept;
    scene.joinSamples = t.join && t.join->isChecked();
    if (t.turning && t.turning->isChecked())
        scene.turningPoints = &t.turningPoints;
    return scene;
}

void Prog::updateUnderlays()
{
    const OverlayOptions o = analysis->options();
    const bool kept = trajectories_.keep && trajectories_.keep->isChecked() && !trajectories_.kept.empty();
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
    if (t.keep && t.keep->isChecked() && !t.kept.empty())
        paintKeptTrajectories(painter, plot, t.kept, t.join && t.join->isChecked());
}
