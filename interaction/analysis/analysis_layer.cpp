#include "analysis_layer.h"

#include "analysis_window.h"
#include "turning_point_table.h"
#include "bifurcation_window.h"
#include "equilibrium_marks.h"
#include "equilibrium_text.h"
#include "help_window.h"
#include "overlay_style.h"
#include "phase_geometry.h"
#include "parameter_exploration.h"
#include "plot_surface.h"
#include "prog.h"

#include <QAction>
#include <QHelpEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

#include <algorithm>

namespace {

// Beside the main window where the screen has room, so that the plots stay in sight.
void placeBeside(QWidget &window, const QWidget &main)
{
    const QScreen *screen = main.screen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    const QRect frame = main.frameGeometry();
    QPoint place(frame.right() + 8, frame.top());
    if (place.x() + window.width() > room.right())
        place.setX(std::max(room.left(), room.right() - window.width()));
    window.move(place);
}

// Below the main window, or as low as the screen lets it stand.
void placeBelow(QWidget &window, const QWidget &main)
{
    const QScreen *screen = main.screen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    const QRect frame = main.frameGeometry();
    QPoint place(frame.left(), frame.bottom() + 8);
    if (place.y() + window.height() > room.bottom())
        place.setY(std::max(room.top(), room.bottom() - window.height()));
    window.move(place);
}

} // namespace

AnalysisLayer::AnalysisLayer(Prog &prog) : QObject(&prog), prog_(prog)
{
    exploration_ = new ParameterExploration(prog_, this);
    createActions();
    installContextMenu();
}

OverlayOptions AnalysisLayer::options() const
{
    OverlayOptions o;
    o.nullclines = nullclines_->isChecked();
    o.equilibria = equilibria_->isChecked();
    o.directionField = directionField_->isChecked();
    o.scales = scales_->isChecked();
    return o;
}

void AnalysisLayer::recomputed()
{
    const Model &m = prog_.model;
    const Coefficients k{m.A, m.B, m.C, m.D, m.E, m.F};
    const bool newCoefficients = !analysed_ || !(k == system_.coefficients);
    const bool newStep = !analysed_ || m.dt != system_.dt;
    if (!newCoefficients && !newStep)
        return;
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
    if (!analysisWindow_) {
        analysisWindow_ = new AnalysisWindow(&prog_);
        placeBeside(*analysisWindow_, prog_);
        exploration_->attach(*analysisWindow_);
        turningPointTable_ = new TurningPointTable(analysisWindow_);
        analysisWindow_->addSection(turningPointTable_);
    }
    showTurningPoints();
    analysisWindow_->showSystem(system_);
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
        placeBelow(window, prog_);
    window.show();
    window.raise();
    window.activateWindow();
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
    if (!helpWindow_)
        helpWindow_ = new HelpWindow(&prog_);
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

// Over a mark of an equilibrium, its tooltip; elsewhere the phase plane's own (none).
bool AnalysisLayer::showEquilibriumTip(QHelpEvent *event)
{
    if (!equilibria_->isChecked())
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
