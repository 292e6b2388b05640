#pragma once

#include "display/analysis/overlays/overlay_renderer.h"
#include "model/analysis/analysed_system.h"

#include <QList>
#include <QObject>
#include <QPointer>

class AnalysisWindow;
class HelpWindow;
class TurningPointTable;
class ParameterExploration;
class PlotSurface;
class Prog;
class QAction;
class QHelpEvent;
class QMenu;
class QWidget;

// The phase-plane analysis laid over the designed window: the overlays of the three plots,
// the analysis and help windows, and the actions, keys and context menu that reach them.
// It describes the system of the trajectory on screen: the coefficients and dt in force at
// the last recomputation. Every option is off at start and nothing is remembered.
class AnalysisLayer : public QObject {
    Q_OBJECT

public:
    explicit AnalysisLayer(Prog &prog);

    // Takes the coefficients and dt of the recomputation just made; the overlays follow at
    // the next redraw, the analysis window at once.
    void recomputed();

    const AnalysedSystem &system() const { return system_; }
    OverlayOptions options() const;

    // Opens the context menu at a global position; it goes away, and is deleted, when closed.
    // It lists the window's actions by their menu group, and the example systems.
    QMenu *openContextMenu(const QPoint &globalPos);
    // As the Menu key does, from the control with the focus.
    void openContextMenuFromKeyboard();
    // The overlays' options changed.
    void overlaysToggled();

    void showAnalysisWindow();
    // Brings the analysis window's turning points up to date with the trajectory on screen.
    void showTurningPoints();
    void showHelp();
    void showBifurcationWindow();
    // Each is made when first shown; nullptr until then.
    AnalysisWindow *analysisWindow() const;
    HelpWindow *helpWindow() const;

    // The live coefficients, the example systems and the bifurcation diagram.
    ParameterExploration *exploration() const { return exploration_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // analysis_actions.cpp
    void createExampleActions();
    // context_menu.cpp
    void installContextMenu();
    // analysis_layer.cpp
    void setUnderlayPainters();
    bool showEquilibriumTip(QHelpEvent *event);
    // The analysis layer's windows, each null until made.
    QList<const QWidget *> openWindows() const;

    Prog &prog_;
    PlotSurface *phasePlane_ = nullptr;
    QWidget *scrollBar_ = nullptr;
    AnalysedSystem system_;
    bool analysed_ = false;
    QList<QAction *> exampleActions_;
    ParameterExploration *exploration_ = nullptr;
    QPointer<AnalysisWindow> analysisWindow_;
    QPointer<TurningPointTable> turningPointTable_;
    QPointer<HelpWindow> helpWindow_;
};
