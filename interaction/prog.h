#pragma once

#include "display/controls/action_table.h"
#include "model/model.h"
#include "state/explorer_state.h"

#include <QElapsedTimer>
#include <QWidget>

#include <array>

class AnalysisLayer;
class ClickableLabel;
class ObservationActions;
class Failure;
class PlotExport;
class Printing;
class PlotSurface;
class PlotViews;
class ScenarioFiles;
class TimePlayer;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QAction;
class StateHistory;

// The program's one window. It owns the state for the whole run and holds every event
// procedure; each procedure runs to completion before the next event arrives. The
// procedures turn events into calls on the state; its signals bring the views up to date.
class Prog : public QWidget {
    Q_OBJECT

    // Made first: the members below refer to it.
    ExplorerState state_;

public:
    explicit Prog(QWidget *parent = nullptr);

    // Start-up: defaults, coefficient labels, show, compute and draw the first trajectory.
    void Form_Load();

    // What the window shows, and the operations on it.
    ExplorerState &state() { return state_; }
    // The state's model: coefficients A to F, dt, and the stored trajectory xs, ys, ok.
    Model &model;

    // The controls, named as in the layout.
    PlotSurface *XYgraf = nullptr;
    PlotSurface *Xgraf = nullptr;
    PlotSurface *Ygraf = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QLineEdit *XR = nullptr;
    QLineEdit *YR = nullptr;
    QLineEdit *TR = nullptr;
    QLineEdit *XI = nullptr;
    QLineEdit *YI = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *Calcular = nullptr;
    std::array<ClickableLabel *, 6> par{};
    std::array<QLabel *, 12> Label1{};

    // The phase-plane analysis over the window: analysis, help and diagram windows, context menu.
    AnalysisLayer *analysis = nullptr;
    // The plots and the samples saved or copied.
    PlotExport *exports = nullptr;
    // The plots and the diagrams printed, and the handout.
    Printing *printing = nullptr;
    // The window's scenario saved to a file and opened from one.
    ScenarioFiles *scenarios = nullptr;
    // The observed populations opened, shown and removed.
    ObservationActions *data = nullptr;

    // Event procedures.
    void Calcular_Click();
    void XYgraf_MouseDown(int Button, int Shift, float X, float Y);
    void HScroll1_Change();
    void HScroll1_Scroll();
    void par_Click(int index);

    // Recomputes the trajectory from the texts of XI and YI; never fails.
    void calcula();
    // Redraws the three plots from the stored trajectory and the time cursor.
    void pintura();
    // An action of the window, as its table describes it; nullptr until the actions are made.
    QAction *action(WindowAction id) const { return actions_[std::size_t(id)]; }

    // Brings label par(index) up to date with value: tooltip, then sign colour.
    void refreshParameterLabel(int index, double value);

    // A failure that no procedure handles: reported in a message box, then the program ends.
    void reportUnhandled(const Failure &failure);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Larger than designed, the window shows the designed one magnified.
    void resizeEvent(QResizeEvent *event) override;
    // Full screen left by other means than the window's keys: the actions say so.
    void changeEvent(QEvent *event) override;

private:
    void connectEvents();
    // actions.cpp
    void createActions();
    void connectOptions();
    void connectView();
    void connectPlayer();
    void connectLegendMove();
    void connectHistory();
    void connectScreenModes();
    void connectData();
    // prog.cpp, commands.cpp, time_cursor.cpp
    template <typename Procedure>
    void dispatch(Procedure procedure);
    void recomputed();
    void recomputeAsCalcular();
    void showStart(double x0, double y0, double span);
    void showTimeCursor();
    void showReadOuts(int c);
    void resetTimeCursor();

    PlotViews *plots_ = nullptr;
    TimePlayer *player_ = nullptr;
    StateHistory *history_ = nullptr;
    // While playing, what the time cursor shows reaches assistive technology a few times a second.
    QElapsedTimer lastDescribed_;
    std::array<QAction *, kWindowActionCount> actions_{};
    int valueAtDragStart_ = 0;
};
