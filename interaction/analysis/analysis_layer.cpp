#include "interaction/analysis/analysis_layer.h"

#include "display/analysis/analysis_window.h"
#include "display/analysis/equilibrium_text.h"
#include "display/analysis/fit_section.h"
#include "display/analysis/help_window.h"
#include "display/analysis/integral_section.h"
#include "display/analysis/overlays/equilibrium_marks.h"
#include "display/analysis/overlays/overlay_style.h"
#include "display/analysis/overlays/phase_geometry.h"
#include "display/analysis/turning_point_table.h"
#include "display/bifurcation/bifurcation_window.h"
#include "display/regime/regime_window.h"
#include "display/plots/plot_surface.h"
#include "display/views/plot_views.h"
#include "interaction/analysis/fit_actions.h"
#include "interaction/analysis/parameter_exploration.h"
#include "state/explorer_state.h"

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

AnalysisLayer::AnalysisLayer(QWidget &window, ExplorerState &state, const PlotViews &views, PlotSurface &phasePlane,
                             QWidget &scrollBar, ActionOf actionOf)
    : QObject(&window), window_(window), state_(state), views_(views), phasePlane_(phasePlane), scrollBar_(scrollBar),
      actionOf_(std::move(actionOf))
{
    exploration_ = new ParameterExploration(window_, state_, this);
    fitting_ = new FitActions(state_, *exploration_, this);
    connect(exploration_, &ParameterExploration::diagramMade, this, [this](BifurcationWindow &made) { shareUndo(made); });
    connect(exploration_, &ParameterExploration::regimeMapMade, this, [this](RegimeWindow &made) { shareUndo(made); });
    connect(&state_, &ExplorerState::recomputed, this, &AnalysisLayer::recomputed);
    createExampleActions();
    installContextMenu();
}

// The analysis window follows each recomputation at once: a new system, or the same one's
// table shown from its start.
void AnalysisLayer::recomputed(bool newCoefficients, bool newStep)
{
    if (analysisWindow_) {
        if (newCoefficients || newStep)
            analysisWindow_->showSystem(state_.system());
        else
            analysisWindow_->showTableFromStart();
    }
    showTurningPoints();
}

void AnalysisLayer::showAnalysisWindow()
{
    const bool made = !analysisWindow_;
    if (made) {
        analysisWindow_ = new AnalysisWindow(&window_);
        exploration_->attach(*analysisWindow_);
        turningPointTable_ = new TurningPointTable(analysisWindow_);
        analysisWindow_->addSection(turningPointTable_);
        integralSection_ = new IntegralSection(analysisWindow_);
        analysisWindow_->addSection(integralSection_);
        fitSection_ = new FitSection(analysisWindow_);
        analysisWindow_->addSection(fitSection_);
        fitting_->attach(*fitSection_, *analysisWindow_);
        shareUndo(*analysisWindow_);
    }
    showTurningPoints();
    analysisWindow_->showSystem(state_.system());
    if (made)
        placeBesideMain(*analysisWindow_, window_, openWindows());
    analysisWindow_->show();
    analysisWindow_->raise();
    analysisWindow_->activateWindow();
}

void AnalysisLayer::fitToData()
{
    if (!state_.observations())
        return;
    showAnalysisWindow();
    fitSection_->setFocus(Qt::OtherFocusReason);
    fitting_->startFit();
}

// The turning points of the trajectory on screen, with the period, in the analysis window.
void AnalysisLayer::showTurningPoints()
{
    if (!turningPointTable_)
        return;
    turningPointTable_->showTrajectory(state_.turningPoints(), state_.trajectory());
    if (integralSection_)
        integralSection_->showTrajectory(state_.trajectory());
}

void AnalysisLayer::showBifurcationWindow()
{
    const bool made = !exploration_->bifurcationWindow();
    BifurcationWindow &window = exploration_->bifurcationWindowMade();
    if (made)
        placeBesideMain(window, window_, openWindows());
    window.show();
    window.raise();
    window.activateWindow();
}

void AnalysisLayer::showRegimeWindow()
{
    const bool made = !exploration_->regimeWindow();
    RegimeWindow &window = exploration_->regimeWindowMade();
    if (made)
        placeBesideMain(window, window_, openWindows());
    window.show();
    window.raise();
    window.activateWindow();
}

// The coefficients changed in a window of its own are taken back and done again from there too.
void AnalysisLayer::shareUndo(QWidget &window)
{
    window.addAction(actionOf_(WindowAction::Undo));
    window.addAction(actionOf_(WindowAction::Redo));
}

QList<const QWidget *> AnalysisLayer::openWindows() const
{
    return {analysisWindow_.data(), helpWindow_.data(), exploration_->bifurcationWindow(),
            exploration_->regimeWindow()};
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
        helpWindow_ = new HelpWindow(&window_);
        placeBesideMain(*helpWindow_, window_, openWindows());
    }
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

// Over a mark of an equilibrium, its tooltip; elsewhere the phase plane's own (none).
bool AnalysisLayer::showEquilibriumTip(QHelpEvent *event)
{
    if (!state_.option(ExplorerState::Option::Equilibria))
        return false;
    const plot_mapping::PlotMapping mapping = views_.mapping();
    const Equilibrium *found = equilibriumAt(state_.system().equilibria, phasePlane_.drawingArea(), mapping,
                                             phasePlane_.areaPosition(QPointF(event->pos())));
    if (!found)
        return false;
    // The tip stays while the pointer stays over the mark (or near the pointer, on a line).
    const int reach = int(overlay_style::kMarkReach * phasePlane_.magnification());
    const QPoint centre = found->shape == Equilibrium::Shape::Point
        ? phasePlane_.widgetPosition(phase_geometry::dotCentreAt(mapping, found->x, found->y)).toPoint()
        : event->pos();
    QToolTip::showText(event->globalPos(), tooltipText(*found), &phasePlane_,
                       QRect(centre - QPoint(reach, reach), QSize(2 * reach + 1, 2 * reach + 1)));
    return true;
}
