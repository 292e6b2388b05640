#include "interaction/analysis/parameter_exploration.h"

#include "display/analysis/analysis_window.h"
#include "display/analysis/coefficient_controls.h"
#include "display/analysis/ecology_section.h"
#include "display/bifurcation/bifurcation_window.h"
#include "display/regime/regime_window.h"
#include "model/analysis/examples.h"
#include "state/explorer_state.h"

#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cmath>

ParameterExploration::ParameterExploration(QWidget &window, ExplorerState &state, QObject *parent)
    : QObject(parent), window_(window), state_(state)
{
    frame_ = new QTimer(this);
    frame_->setSingleShot(true);
    connect(frame_, &QTimer::timeout, this, [this] {
        if (waiting_)
            recompute();
    });
    // The diagram shows the system of the trajectory on screen, and the form of it in force.
    connect(&state_, &ExplorerState::recomputed, this, [this](bool newCoefficients) {
        if (regimeMap_ && newCoefficients)
            regimeMap_->setSystem(state_.system().coefficients);
        if (regimeMap_)
            regimeMap_->setEcology(state_.ecology());
        if (!bifurcation_)
            return;
        if (newCoefficients)
            bifurcation_->setSystem(state_.system().coefficients);
        bifurcation_->setEcology(state_.ecology());
    });
    // A form chosen for the coefficients on screen: nothing waits for a recomputation.
    connect(&state_, &ExplorerState::ecologyChanged, this, [this] {
        if (!bitIdentical(state_.coefficients(), state_.system().coefficients))
            return;
        if (bifurcation_)
            bifurcation_->setEcology(state_.ecology());
        if (regimeMap_)
            regimeMap_->setEcology(state_.ecology());
    });
}

void ParameterExploration::setCoefficient(int index, double value, bool dragging)
{
    if (!state_.setCoefficient(index, value))
        return;
    if (dragging)
        recomputeNextFrame();
    else
        recompute();
}

// Both are stored before the one recomputation: no trajectory is computed for half a pair.
void ParameterExploration::setCoefficients(int first, double firstValue, int second, double secondValue,
                                           bool dragging)
{
    if (!std::isfinite(firstValue) || !std::isfinite(secondValue))
        return;
    state_.setCoefficient(first, firstValue);
    setCoefficient(second, secondValue, dragging);
}

bool ParameterExploration::setEcologicalParameter(int index, double value, bool dragging)
{
    return recomputedIf(state_.setEcologicalParameter(index, value), dragging);
}

bool ParameterExploration::setEcologicalParameters(int first, double firstValue, int second, double secondValue,
                                                   bool dragging)
{
    return recomputedIf(state_.setEcologicalParameters(first, firstValue, second, secondValue), dragging);
}

// A change the state took is recomputed now, or at the next frame while dragging.
bool ParameterExploration::recomputedIf(bool changed, bool dragging)
{
    if (!changed)
        return false;
    if (dragging)
        recomputeNextFrame();
    else
        recompute();
    return true;
}

void ParameterExploration::beginDrag()
{
    state_.beginContinuousChange();
}

void ParameterExploration::finishDrag()
{
    if (waiting_)
        recompute();
    state_.endContinuousChange();
}

// The first change of a drag is computed at once; later ones wait for the frame's end, and
// only the newest of them is computed.
void ParameterExploration::recomputeNextFrame()
{
    if (frame_->isActive()) {
        waiting_ = true;
        return;
    }
    recompute();
}

// As the Calcular button does; the frame then begins in which later changes wait.
void ParameterExploration::recompute()
{
    waiting_ = false;
    emit recomputeRequested();
    const QScreen *screen = window_.screen();
    const double rate = screen && screen->refreshRate() > 1 ? screen->refreshRate() : 60;
    frame_->start(static_cast<int>(std::floor(1000 / rate)));
}

void ParameterExploration::loadExample(const ExampleSystem &example)
{
    state_.setCoefficients(example.coefficients);
    state_.showFormOfCoefficients();
    emit startChosen(example.x0, example.y0, example.span);
    frame_->stop();
    recompute();
}

void ParameterExploration::attach(AnalysisWindow &window)
{
    CoefficientControls *controls = window.coefficientControls();
    for (int index = 0; index < 6; ++index)
        controls->showCoefficient(index, state_.coefficient(index));
    // Every value set, the spin box shows too; the dialog's included.
    connect(&state_, &ExplorerState::coefficientChanged, controls, &CoefficientControls::showCoefficient);
    connect(controls, &CoefficientControls::coefficientEdited, this, &ParameterExploration::setCoefficient);
    connect(controls, &CoefficientControls::dragStarted, this, &ParameterExploration::beginDrag);
    connect(controls, &CoefficientControls::dragFinished, this, &ParameterExploration::finishDrag);
    attachEcology(window);
}

void ParameterExploration::attachEcology(AnalysisWindow &window)
{
    EcologySection *section = window.ecologySection();
    const auto showEcology = [this, section] {
        section->showEcology(state_.ecologicalForm(), state_.ecology(), state_.coefficients());
    };
    const auto showYields = [this, section] {
        section->showYields(state_.ecology(), state_.trajectory(), state_.cursor(), state_.system().equilibria);
    };
    showEcology();
    showYields();
    connect(&state_, &ExplorerState::ecologyChanged, section, [showEcology, showYields] {
        showEcology();
        showYields();
    });
    // Where no form fits, the section's text names the coefficients, which change on their own.
    connect(&state_, &ExplorerState::coefficientChanged, section, [this, showEcology] {
        if (!state_.ecology())
            showEcology();
    });
    connect(&state_, &ExplorerState::recomputed, section, showYields);
    connect(&state_, &ExplorerState::cursorMoved, section, showYields);
    connect(section, &EcologySection::formChosen, &state_, &ExplorerState::setEcologicalForm);
    connect(section, &EcologySection::parameterEdited, this, [this, section](int index, double value, bool dragging) {
        if (!setEcologicalParameter(index, value, dragging))
            section->refuse(index, value);
    });
    connect(section, &EcologySection::dragStarted, this, &ParameterExploration::beginDrag);
    connect(section, &EcologySection::dragFinished, this, &ParameterExploration::finishDrag);
}

BifurcationWindow &ParameterExploration::bifurcationWindowMade()
{
    if (!bifurcation_) {
        bifurcation_ = new BifurcationWindow(&window_);
        bifurcation_->setSystem(state_.system().coefficients);
        bifurcation_->setEcology(state_.ecology());
        emit diagramMade(*bifurcation_);
        // A click picks as the first step of a drag does: at once unless a recomputation ran
        // within this frame.
        connect(bifurcation_, &BifurcationWindow::coefficientPicked, this,
                [this](int index, double value) { setCoefficient(index, value, true); });
        connect(bifurcation_, &BifurcationWindow::ecologicalParameterPicked, this,
                [this](int index, double value) { setEcologicalParameter(index, value, true); });
        connect(bifurcation_, &BifurcationWindow::dragStarted, this, &ParameterExploration::beginDrag);
        connect(bifurcation_, &BifurcationWindow::dragFinished, this, &ParameterExploration::finishDrag);
    }
    return *bifurcation_;
}

BifurcationWindow *ParameterExploration::bifurcationWindow() const
{
    return bifurcation_;
}

RegimeWindow &ParameterExploration::regimeWindowMade()
{
    if (!regimeMap_) {
        regimeMap_ = new RegimeWindow(&window_);
        regimeMap_->setSystem(state_.system().coefficients);
        regimeMap_->setEcology(state_.ecology());
        emit regimeMapMade(*regimeMap_);
        connect(regimeMap_, &RegimeWindow::valuesPicked, this,
                [this](int horizontal, double h, int vertical, double v) {
                    setCoefficients(horizontal, h, vertical, v, true);
                });
        connect(regimeMap_, &RegimeWindow::parametersPicked, this,
                [this](int horizontal, double h, int vertical, double v) {
                    setEcologicalParameters(horizontal, h, vertical, v, true);
                });
        connect(regimeMap_, &RegimeWindow::dragStarted, this, &ParameterExploration::beginDrag);
        connect(regimeMap_, &RegimeWindow::dragFinished, this, &ParameterExploration::finishDrag);
    }
    return *regimeMap_;
}

RegimeWindow *ParameterExploration::regimeWindow() const
{
    return regimeMap_;
}
