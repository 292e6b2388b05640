#include "interaction/analysis/analysis_layer.h"

#include "display/analysis/analysis_window.h"
#include "display/analysis/equilibrium_text.h"
#include "display/analysis/help_window.h"
#include "display/analysis/overlays/equilibrium_marks.h"
#include "display/analysis/overlays/overlay_style.h"
#include "display/analysis/overlays/phase_geometry.h"
#include "display/analysis/turning_point_table.h"
#include "display/bifurcation/bifurcation_window.h"
#include "display/plots/plot_surface.h"
#include "interaction/analysis/parameter_exploration.h"
#include "interaction/prog.h"

#include <QAction>
#include <QHelpEvent>
#include <QLayout>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

#include <algorithm>
#include <compare>
#include <optional>

namespace {

// Where a new window opens: inside the available area of the main window's screen (made
// smaller if it cannot fit there), beside the main window where there is room, otherwise
// over as little of it as can be, then clear of the other windows already open, then nearest
// to the main window. The frame of a window not yet shown is taken to be as thick as the main
// window's.
void placeBesideMain(QWidget &window, const QWidget &main, const QList<const QWidget *> &others)
{
    const QScreen *screen = main.screen();
    if (!screen)
        return;
    // The size the window will open at: its layout may make it larger than it was made.
    if (window.layout())
        window.layout()->activate();
    const QRect room = screen->availableGeometry();
    const QRect mainFrame = main.frameGeometry();
    const QRect mainInside = main.geometry();
    const QMargins frame(mainInside.left() - mainFrame.left(), mainInside.top() - mainFrame.top(),
                         mainFrame.right() - mainInside.right(), mainFrame.bottom() - mainInside.bottom());
    const QSize largest = room.size().shrunkBy(frame);
    if (window.width() > largest.width() || window.height() > largest.height())
        window.resize(window.size().boundedTo(largest));
    const QSize outer = window.size().grownBy(frame);

    constexpr int gap = 8;
    QList<QRect> obstacles;
    for (const QWidget *other : others)
        if (other && other != &window && other->isVisible())
            obstacles << other->frameGeometry();
    QList<int> xs{mainFrame.right() + 1 + gap, mainFrame.left() - gap - outer.width(), mainFrame.left(),
                  room.left(), room.right() + 1 - outer.width()};
    QList<int> ys{mainFrame.top(), mainFrame.bottom() + 1 + gap, mainFrame.top() - gap - outer.height(),
                  room.top(), room.bottom() + 1 - outer.height()};
    for (const QRect &other : obstacles) {
        xs << other.right() + 1 + gap << other.left() - gap - outer.width();
        ys << other.bottom() + 1 + gap << other.top() - gap - outer.height();
    }
    auto area = [](const QRect &a, const QRect &b) {
        const QRect common = a.intersected(b);
        return common.isEmpty() ? qint64(0) : qint64(common.width()) * common.height();
    };
    struct Score {
        qint64 overMain, overOthers, distance;
        auto operator<=>(const Score &) const = default;
    };
    std::optional<Score> best;
    QPoint chosen = room.topLeft();
    for (int x : xs)
        for (int y : ys) {
            const QPoint at(std::clamp(x, room.left(), std::max(room.left(), room.right() + 1 - outer.width())),
                            std::clamp(y, room.top(), std::max(room.top(), room.bottom() + 1 - outer.height())));
            const QRect placed(at, outer);
            qint64 overOthers = 0;
            for (const QRect &other : obstacles)
                overOthers += area(placed, other);
            const QPoint apart(std::max({0, mainFrame.left() - placed.right(), placed.left() - mainFrame.right()}),
                               std::max({0, mainFrame.top() - placed.bottom(), placed.top() - mainFrame.bottom()}));
            const Score score{area(placed, mainFrame), overOthers, apart.manhattanLength()};
            if (!best || score < *best) {
                best = score;
                chosen = at;
            }
        }
    window.move(chosen);
}

} // namespace

AnalysisLayer::AnalysisLayer(Prog &prog) : QObject(&prog), prog_(prog)
{
    exploration_ = new ParameterExploration(prog_, this);
    createExampleActions();
    installContextMenu();
}

OverlayOptions AnalysisLayer::options() const
{
    OverlayOptions o;
    o.nullclines = prog_.action(WindowAction::Nullclines)->isChecked();
    o.equilibria = prog_.action(WindowAction::Equilibria)->isChecked();
    o.directionField = prog_.action(WindowAction::DirectionField)->isChecked();
    o.scales = prog_.action(WindowAction::Scales)->isChecked();
    return o;
}

void AnalysisLayer::recomputed()
{
    const Model &m = prog_.model;
    const Coefficients k{m.A, m.B, m.C, m.D, m.E, m.F};
    const bool newCoefficients = !analysed_ || !(k == system_.coefficients);
    const bool newStep = !analysed_ || m.dt != system_.dt;
    if (!newCoefficients && !newStep) {
        if (analysisWindow_)
            analysisWindow_->showTableFromStart();
        return;
    }
    system_ = analyse(k, m.dt);
    analysed_ = true;
    if (newCoefficients) {
        prog_.XYgraf->invalidateUnderlay();
        exploration_->showSystem(k);
    }
    if (newStep) {
        prog_.Xgraf->invalidateUnderlay();
        prog_.Ygraf->invalidateUnderlay();
    }
    if (analysisWindow_)
        analysisWindow_->showSystem(system_);
}

// The plots paint their overlays under the trajectory at their next Cls; with every option
// off they have no painter and clear to the base colour as designed. The window puts them
// together with what else lies under the trajectory.
void AnalysisLayer::setUnderlayPainters()
{
    prog_.updateUnderlays();
}

void AnalysisLayer::overlaysToggled()
{
    setUnderlayPainters();
    prog_.pintura();
}

void AnalysisLayer::showAnalysisWindow()
{
    const bool made = !analysisWindow_;
    if (made) {
        analysisWindow_ = new AnalysisWindow(&prog_);
        exploration_->attach(*analysisWindow_);
        turningPointTable_ = new TurningPointTable(analysisWindow_);
        analysisWindow_->addSection(turningPointTable_);
    }
    showTurningPoints();
    analysisWindow_->showSystem(system_);
    if (made)
        placeBesideMain(*analysisWindow_, prog_, openWindows());
    analysisWindow_->show();
    analysisWindow_->raise();
    analysisWindow_->activateWindow();
}

// The turning points of the trajectory on screen, with the period, in the analysis window.
void AnalysisLayer::showTurningPoints()
{
    if (!turningPointTable_)
        return;
    turningPointTable_->showTrajectory(prog_.turningPoints(), trajectoryOf(prog_.model, system_.coefficients));
}

void AnalysisLayer::showBifurcationWindow()
{
    const bool made = !exploration_->bifurcationWindow();
    BifurcationWindow &window = exploration_->bifurcationWindowMade();
    if (made)
        placeBesideMain(window, prog_, openWindows());
    window.show();
    window.raise();
    window.activateWindow();
}

QList<const QWidget *> AnalysisLayer::openWindows() const
{
    return {analysisWindow_.data(), helpWindow_.data(), exploration_->bifurcationWindow()};
}

AnalysisWindow *AnalysisLayer::analysisWindow() const
{
    return analysisWindow_;
}

HelpWindow *AnalysisLayer::helpWindow() const
{
    return helpWindow_;
}

void AnalysisLayer::showHelp()
{
    if (!helpWindow_) {
        helpWindow_ = new HelpWindow(&prog_);
        placeBesideMain(*helpWindow_, prog_, openWindows());
    }
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

// Over a mark of an equilibrium, its tooltip; elsewhere the phase plane's own (none).
bool AnalysisLayer::showEquilibriumTip(QHelpEvent *event)
{
    if (!prog_.action(WindowAction::Equilibria)->isChecked())
        return false;
    const QRect area = phasePlane_->contentsRect();
    const Equilibrium *found =
        equilibriumAt(system_.equilibria, QSizeF(area.size()), QPointF(event->pos() - area.topLeft()));
    if (!found)
        return false;
    // The tip stays while the pointer stays over the mark (or near the pointer, on a line).
    const int reach = int(overlay_style::kMarkReach);
    const QPoint centre = found->shape == Equilibrium::Shape::Point
        ? phase_geometry::dotCentreAt(found->x, found->y).toPoint() + area.topLeft()
        : event->pos();
    QToolTip::showText(event->globalPos(), tooltipText(*found), phasePlane_,
                       QRect(centre - QPoint(reach, reach), QSize(2 * reach + 1, 2 * reach + 1)));
    return true;
}
