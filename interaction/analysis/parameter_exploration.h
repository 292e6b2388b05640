#pragma once

#include <QObject>
#include <QPointer>

class AnalysisWindow;
class BifurcationWindow;
class RegimeWindow;
class ExplorerState;
class QTimer;
class QWidget;
struct ExampleSystem;

// Changing the coefficients live: the analysis window's spin boxes and sliders, the example
// systems and picks in the bifurcation diagram all take one path. It stores the coefficient in
// the state and asks for a recomputation as the Calcular button makes it, so that the
// trajectory, the overlays and the windows follow at once. While a slider or the diagram is
// dragged, at most one recomputation runs per screen frame, the newest value last.
class ParameterExploration : public QObject {
    Q_OBJECT

public:
    // The diagram's window opens over window, on its screen.
    ParameterExploration(QWidget &window, ExplorerState &state, QObject *parent = nullptr);

    // Coefficient index (0..5 = A..F) takes value; a value that is no finite number changes
    // nothing. While dragging, the recomputation may wait for the next frame.
    void setCoefficient(int index, double value, bool dragging = false);
    // Two coefficients at once, as a press in the map of regimes sets them, then as setCoefficient.
    void setCoefficients(int first, double firstValue, int second, double secondValue, bool dragging = false);
    // Parameter index of the ecological form in force takes value (ExplorerState::
    // setEcologicalParameter), which sets the coefficients; then as setCoefficient. False, and
    // nothing changes, where the state refuses the value.
    bool setEcologicalParameter(int index, double value, bool dragging = false);
    // Two parameters at once, as a press in the map of regimes along them sets them.
    bool setEcologicalParameters(int first, double firstValue, int second, double secondValue, bool dragging = false);
    // A gesture that changes a coefficient step by step begins: of it only the trajectory in
    // force now is kept.
    void beginDrag();
    // It ends: a recomputation it left waiting runs, as a step of it.
    void finishDrag();

    // The six coefficients, the initial point and the span of an example, then a recomputation.
    void loadExample(const ExampleSystem &example);

    // Joins the live controls of a newly made analysis window to this path: the coefficients'
    // and the ecological parameters'.
    void attach(AnalysisWindow &window);

    // The diagram's window, made hidden on the first call and linked to this path.
    BifurcationWindow &bifurcationWindowMade();
    BifurcationWindow *bifurcationWindow() const;   // nullptr until made
    // The map of regimes' window likewise; a press or drag in it sets both its coefficients, or
    // both its ecological parameters, as one gesture.
    RegimeWindow &regimeWindowMade();
    RegimeWindow *regimeWindow() const;

signals:
    // A recomputation as the Calcular button makes it, with the span in force where the span
    // box holds none.
    void recomputeRequested();
    // An example's initial point and span, for the boxes that hold them.
    void startChosen(double x0, double y0, double span);
    // The diagram's window has just been made.
    void diagramMade(BifurcationWindow &window);
    void regimeMapMade(RegimeWindow &window);

private:
    void attachEcology(AnalysisWindow &window);
    void recompute();
    void recomputeNextFrame();
    bool recomputedIf(bool changed, bool dragging);

    QWidget &window_;
    ExplorerState &state_;
    QTimer *frame_ = nullptr;
    bool waiting_ = false;   // a change of this frame is not computed yet
    QPointer<BifurcationWindow> bifurcation_;
    QPointer<RegimeWindow> regimeMap_;
};
