#pragma once

#include "model/coefficients.h"

#include <QObject>
#include <QPointer>

class AnalysisWindow;
class BifurcationWindow;
class Prog;
class QTimer;
struct ExampleSystem;

// Changing the coefficients live: the analysis window's spin boxes and sliders, the example
// systems and picks in the bifurcation diagram all take one path. It stores the coefficient,
// refreshes its label and recomputes as the Calcular button does, so that the trajectory, the
// overlays and the windows follow at once. While a slider or the diagram is dragged, at most
// one recomputation runs per screen frame, the newest value last.
class ParameterExploration : public QObject {
    Q_OBJECT

public:
    explicit ParameterExploration(Prog &prog, QObject *parent = nullptr);

    // Coefficient index (0..5 = A..F) takes value; a value that is no finite number changes
    // nothing. While dragging, the recomputation may wait for the next frame.
    void setCoefficient(int index, double value, bool dragging = false);
    // A gesture that changes a coefficient step by step begins: of it only the trajectory in
    // force now is kept.
    void beginDrag();
    // It ends: a recomputation it left waiting runs, as a step of it.
    void finishDrag();

    // The six coefficients, the initial point and the span of an example, then a recomputation.
    void loadExample(const ExampleSystem &example);

    // Joins the live controls of a newly made analysis window to this path.
    void attach(AnalysisWindow &window);

    // The diagram's window, made hidden on the first call and linked to this path.
    BifurcationWindow &bifurcationWindowMade();
    BifurcationWindow *bifurcationWindow() const;   // nullptr until made
    // The coefficients of the recomputation just made, for the diagram.
    void showSystem(const Coefficients &system);

private:
    void recompute();
    void recomputeNextFrame();

    Prog &prog_;
    QTimer *frame_ = nullptr;
    bool waiting_ = false;   // a change of this frame is not computed yet
    Coefficients shown_;
    QPointer<BifurcationWindow> bifurcation_;
};
