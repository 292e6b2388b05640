#include "interaction/analysis/parameter_exploration.h"

#include "display/analysis/analysis_window.h"
#include "display/analysis/coefficient_controls.h"
#include "display/bifurcation/bifurcation_window.h"
#include "display/toolkit/conversions.h"
#include "display/toolkit/text_box.h"
#include "interaction/prog.h"
#include "model/analysis/examples.h"
#include "model/failure.h"

#include <QLineEdit>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace {

double &coefficientOf(Model &model, int index)
{
    double *const fields[] = {&model.A, &model.B, &model.C, &model.D, &model.E, &model.F};
    return *fields[index];
}

// Whether the span box holds a number > 0, the only span Calcular applies.
bool spanBoxHoldsASpan(const QLineEdit *box)
{
    try {
        return numberFromText(box->text()) > 0;
    } catch (const Failure &) {
        return false;
    }
}

} // namespace

ParameterExploration::ParameterExploration(Prog &prog, QObject *parent) : QObject(parent), prog_(prog)
{
    frame_ = new QTimer(this);
    frame_->setSingleShot(true);
    connect(frame_, &QTimer::timeout, this, [this] {
        if (waiting_)
            recompute();
    });
}

void ParameterExploration::setCoefficient(int index, double value, bool dragging)
{
    if (index < 0 || index > 5 || !std::isfinite(value))
        return;
    coefficientOf(prog_.model, index) = value;
    prog_.refreshParameterLabel(index, value);
    if (dragging)
        recomputeNextFrame();
    else
        recompute();
}

void ParameterExploration::beginDrag()
{
    prog_.beginContinuousChange();
}

void ParameterExploration::finishDrag()
{
    if (waiting_)
        recompute();
    prog_.endContinuousChange();
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

// As the Calcular button does: dt from the span box, the initial point from XI and YI, the
// time cursor back to 0 and the plots redrawn. A span box that holds no span > 0 is first
// given the span in force, as Calcular would write it, so that a change always recomputes.
void ParameterExploration::recompute()
{
    waiting_ = false;
    if (!spanBoxHoldsASpan(prog_.Text2))
        writeText(prog_.Text2, textOf(prog_.model.dt * 100));
    prog_.Calcular_Click();
    const QScreen *screen = prog_.screen();
    const double rate = screen && screen->refreshRate() > 1 ? screen->refreshRate() : 60;
    frame_->start(static_cast<int>(std::floor(1000 / rate)));
}

void ParameterExploration::loadExample(const ExampleSystem &example)
{
    const Coefficients &k = example.coefficients;
    const double values[] = {k.A, k.B, k.C, k.D, k.E, k.F};
    for (int index = 0; index < 6; ++index) {
        coefficientOf(prog_.model, index) = values[index];
        prog_.refreshParameterLabel(index, values[index]);
    }
    writeText(prog_.XI, textOf(example.x0));
    writeText(prog_.YI, textOf(example.y0));
    writeText(prog_.Text2, textOf(example.span));
    frame_->stop();
    recompute();
}

void ParameterExploration::attach(AnalysisWindow &window)
{
    CoefficientControls *controls = window.coefficientControls();
    for (int index = 0; index < 6; ++index)
        controls->showCoefficient(index, coefficientOf(prog_.model, index));
    // Every value a label shows, the spin box shows too; the dialog's included.
    connect(&prog_, &Prog::parameterLabelRefreshed, controls, &CoefficientControls::showCoefficient);
    connect(controls, &CoefficientControls::coefficientEdited, this, &ParameterExploration::setCoefficient);
    connect(controls, &CoefficientControls::dragStarted, this, &ParameterExploration::beginDrag);
    connect(controls, &CoefficientControls::dragFinished, this, &ParameterExploration::finishDrag);
}

BifurcationWindow &ParameterExploration::bifurcationWindowMade()
{
    if (!bifurcation_) {
        bifurcation_ = new BifurcationWindow(&prog_);
        bifurcation_->setSystem(shown_);
        prog_.attachDiagramExport(*bifurcation_);
        // A click picks as the first step of a drag does: at once unless a recomputation ran
        // within this frame.
        connect(bifurcation_, &BifurcationWindow::coefficientPicked, this,
                [this](int index, double value) { setCoefficient(index, value, true); });
        connect(bifurcation_, &BifurcationWindow::dragStarted, this, &ParameterExploration::beginDrag);
        connect(bifurcation_, &BifurcationWindow::dragFinished, this, &ParameterExploration::finishDrag);
    }
    return *bifurcation_;
}

BifurcationWindow *ParameterExploration::bifurcationWindow() const
{
    return bifurcation_;
}

void ParameterExploration::showSystem(const Coefficients &system)
{
    shown_ = system;
    if (bifurcation_)
        bifurcation_->setSystem(system);
}
