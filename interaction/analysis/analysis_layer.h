#pragma once

#include "display/controls/action_table.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class AnalysisWindow;
class ExplorerState;
class FitActions;
class FitSection;
class HelpWindow;
class IntegralSection;
class TurningPointTable;
class ParameterExploration;
class PlotSurface;
class PlotViews;
class QAction;
class QHelpEvent;
class QMenu;
class QWidget;

// The phase-plane analysis laid over the designed window: the overlays of the three plots,
// the analysis and help windows, and the context menu that reaches them and the window's
// actions. It describes the system of the trajectory on screen: the coefficients and dt in
// force at the last recomputation. Nothing is remembered between runs.
class AnalysisLayer : public QObject {
    Q_OBJECT

public:
    // The window's action for each entry of the action table.
    using ActionOf = std::function<QAction *(WindowAction)>;

    AnalysisLayer(QWidget &window, ExplorerState &state, const PlotViews &views, PlotSurface &phasePlane,
                  QWidget &scrollBar, ActionOf actionOf);

    // Opens the context menu at a global position; it goes away, and is deleted, when closed.
    // It lists the window's actions by their menu group, and the example systems.
    QMenu *openContextMenu(const QPoint &globalPos);
    // As the Menu key does, from the control with the focus.
    void openContextMenuFromKeyboard();
    // The data's actions listed after «Abrir datos…», and the submenu «Datos de ejemplo».
    void setDataActions(QList<QAction *> actions, QList<QAction *> examples);

    void showAnalysisWindow();
    // Brings the analysis window's turning points up to date with the trajectory on screen.
    void showTurningPoints();
    void showHelp();
    void showBifurcationWindow();
    void showRegimeWindow();
    // Each is made when first shown; nullptr until then.
    AnalysisWindow *analysisWindow() const;
    HelpWindow *helpWindow() const;

    // The live coefficients, the example systems and the bifurcation diagram.
    ParameterExploration *exploration() const { return exploration_; }
    // The fit to the observations and its section of the analysis window.
    FitActions *fitting() const { return fitting_; }
    // The analysis window opened on its fit section, and a fit started there.
    void fitToData();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // analysis_actions.cpp
    void createExampleActions();
    // context_menu.cpp
    void installContextMenu();
    // analysis_layer.cpp
    void recomputed(bool newCoefficients, bool newStep);
    bool showEquilibriumTip(QHelpEvent *event);
    void shareUndo(QWidget &window);
    // The analysis layer's windows, each null until made.
    QList<const QWidget *> openWindows() const;

    QWidget &window_;
    ExplorerState &state_;
    const PlotViews &views_;
    PlotSurface &phasePlane_;
    QWidget &scrollBar_;
    ActionOf actionOf_;
    QList<QAction *> exampleActions_;
    QList<QAction *> dataActions_;
    QList<QAction *> dataExamples_;
    ParameterExploration *exploration_ = nullptr;
    FitActions *fitting_ = nullptr;
    QPointer<FitSection> fitSection_;
    QPointer<AnalysisWindow> analysisWindow_;
    QPointer<TurningPointTable> turningPointTable_;
    QPointer<IntegralSection> integralSection_;
    QPointer<HelpWindow> helpWindow_;
};
