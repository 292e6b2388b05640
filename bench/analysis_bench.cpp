#include "bench/analysis_bench.h"

#include "bench/paint_counter.h"
#include "bench/targets.h"
#include "bench/window_driver.h"
#include "display/analysis/analysis_window.h"
#include "display/analysis/coefficient_controls.h"
#include "display/analysis/overlays/overlay_renderer.h"
#include "display/analysis/overlays/overlay_style.h"
#include "display/bifurcation/bifurcation_window.h"
#include "display/regime/regime_window.h"
#include "display/plots/plot_mapping.h"
#include "display/plots/plot_surface.h"
#include "display/views/plot_views.h"
#include "interaction/analysis/analysis_layer.h"
#include "interaction/analysis/parameter_exploration.h"
#include "interaction/prog.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QSlider>

#include <cstddef>
#include <functional>

namespace {

// Two presses in the phase plane, in twips of its drawing area, taken in turn: (5, 5), (3, 3).
constexpr float kPresses[][2] = {{2150, 2100}, {1350, 2900}};

// Two values of A taken in turn: each press after a change recomputes the overlays.
constexpr double kCoefficientA[] = {4, 4.25};

void press(Prog &prog, std::size_t count)
{
    const auto &where = kPresses[count % std::size(kPresses)];
    prog.XYgraf_MouseDown(1, 0, where[0], where[1]);
}

} // namespace

bool turnEveryOverlayOn(Prog &prog)
{
    for (const char *name : {"isoclinas", "equilibrios", "campo", "escalas"}) {
        auto *action = prog.findChild<QAction *>(QString::fromLatin1(name));
        if (!action)
            return benchFailure("an overlay action is missing");
        action->setChecked(true);
    }
    repaintNow();
    const OverlayOptions o = overlayOptionsOf(prog.state());
    if (!o.nullclines || !o.equilibria || !o.directionField || !o.scales)
        return benchFailure("the overlays did not turn on");
    return true;
}

namespace {

// The default nullcline y = 4 crosses the phase plane at its pixel row; with the overlays
// on, that row holds its colour away from the trajectory.
bool overlaysAreDrawn(const Prog &prog)
{
    const QImage &image = prog.XYgraf->image();
    const int row = int(2500 / 15 * image.devicePixelRatio());
    const int column = int(4000 / 15 * image.devicePixelRatio());
    return image.pixel(column, row) == overlay_style::kXNullcline.rgb();
}

bool checkActions(Prog &prog)
{
    PaintCounter paints{prog.XYgraf, prog.Xgraf, prog.Ygraf};
    if (!overlaysAreDrawn(prog))
        return benchFailure("the nullcline is not where it should be with the overlays on");
    for (std::size_t count = 0; count < 4; ++count) {
        prog.model.A = kCoefficientA[count % 2];
        paints.reset();
        press(prog, count);
        repaintNow();
        if (!paints.eachPaintedOnce())
            return benchFailure("a press over the overlays did not paint each plot once");
        if (prog.state().system().coefficients.A != prog.model.A)
            return benchFailure("a press did not take the coefficient in force");
    }
    prog.model.A = 4;
    press(prog, 0);
    repaintNow();
    if (!overlaysAreDrawn(prog))
        return benchFailure("the overlays are gone after the presses");
    paints.reset();
    prog.HScroll1->setValue(nextCursor(*prog.HScroll1));
    repaintNow();
    if (!paints.eachPaintedOnce())
        return benchFailure("a time-cursor step over the overlays did not paint each plot once");
    return true;
}

// A press with the coefficients unchanged: the overlays are kept, the trajectory is new.
void pressOverOverlays(benchmark::State &state, Prog &prog)
{
    std::size_t count = 0;
    for (auto _ : state) {
        press(prog, count++);
        repaintNow();
    }
}

// A press after a coefficient was edited: the press also analyses the new system and paints
// the overlays again.
void pressAfterCoefficientChange(benchmark::State &state, Prog &prog)
{
    std::size_t count = 0;
    for (auto _ : state) {
        prog.model.A = kCoefficientA[count % 2];   // as the coefficient's dialog stores it
        press(prog, count++);
        repaintNow();
    }
    prog.model.A = 4;
}

// Only the painting of the phase plane's overlays into a picture of its size.
void paintPhaseOverlaysOnly(benchmark::State &state, Prog &prog)
{
    QImage image(prog.XYgraf->image().size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(prog.XYgraf->image().devicePixelRatio());
    const QSizeF area = QSizeF(image.size()) / image.devicePixelRatio();
    const OverlayOptions options = overlayOptionsOf(prog.state());
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        paintPhaseOverlays(painter, area, plot_mapping::mappingFor(prog.state().view()), options, prog.state().system());
    }
}

// Two positions of the slider of A either side of its middle, taken in turn: each step stores
// A, refreshes its label, recomputes as Calcular does, redraws the plots with their overlays
// and updates the analysis window (and the diagram, when it is open).
constexpr int kSliderPositions[] = {490, 510};

QSlider *sliderOfA(Prog &prog)
{
    return prog.analysis->analysisWindow()->coefficientControls()->slider(0);
}

bool checkSliderStep(Prog &prog)
{
    prog.analysis->showAnalysisWindow();
    repaintNow();
    QSlider *slider = sliderOfA(prog);
    PaintCounter paints{prog.XYgraf, prog.Xgraf, prog.Ygraf};
    for (int position : kSliderPositions) {
        const double before = prog.model.xs(50);
        paints.reset();
        slider->setValue(position);
        repaintNow();
        if (!paints.eachPaintedOnce())
            return benchFailure("a slider step did not paint each plot once");
        if (prog.model.A == 4 || prog.state().system().coefficients.A != prog.model.A || prog.model.xs(50) == before)
            return benchFailure("a slider step did not recompute with the new coefficient");
    }
    // The benchmarks before this one run as they did without the window.
    prog.analysis->exploration()->setCoefficient(0, 4);
    prog.analysis->analysisWindow()->close();
    repaintNow();
    return true;
}

void coefficientSliderStep(benchmark::State &state, Prog &prog)
{
    prog.analysis->showAnalysisWindow();
    repaintNow();
    QSlider *slider = sliderOfA(prog);
    std::size_t count = 0;
    for (auto _ : state) {
        slider->setValue(kSliderPositions[count++ % std::size(kSliderPositions)]);
        repaintNow();
    }
}

void coefficientSliderStepWithDiagram(benchmark::State &state, Prog &prog)
{
    prog.analysis->showBifurcationWindow();
    repaintNow();
    coefficientSliderStep(state, prog);
    prog.analysis->exploration()->bifurcationWindow()->close();
}

// The map of regimes over C and E follows A: the GUI thread gives it the scene and paints the
// last picture with its numbers, trail and crosshair, while the new one is made on its thread.
void coefficientSliderStepWithRegimeMap(benchmark::State &state, Prog &prog)
{
    prog.analysis->showRegimeWindow();
    repaintNow();
    coefficientSliderStep(state, prog);
    prog.analysis->exploration()->regimeWindow()->close();
}

// The same through an ecological parameter: m, the predator's death rate of the start-up
// predator–prey system, which sets D. The state finds the parameters again at each step.
void ecologicalSliderStep(benchmark::State &state, Prog &prog)
{
    prog.analysis->showAnalysisWindow();
    repaintNow();
    auto *slider = prog.analysis->analysisWindow()->findChild<QSlider *>(QStringLiteral("deslizador_m"));
    if (!slider || !slider->isEnabled()) {
        state.SkipWithError("the start-up system shows no predator–prey parameters");
        return;
    }
    std::size_t count = 0;
    for (auto _ : state) {
        slider->setValue(kSliderPositions[count++ % std::size(kSliderPositions)]);
        repaintNow();
    }
}

} // namespace

bool registerAnalysisBenchmarks(Prog &prog)
{
    if (!showWindow(prog) || !turnEveryOverlayOn(prog) || !checkActions(prog) || !checkSliderStep(prog))
        return false;

    registerOnWindow(prog, {
        {bench_name::overlayPress, &pressOverOverlays},
        {bench_name::overlayPressNewCoefficients, &pressAfterCoefficientChange},
        {bench_name::overlayCursorStep, &timeCursorStep},
        {bench_name::overlayPaint, &paintPhaseOverlaysOnly},
        {bench_name::sliderStep, &coefficientSliderStep},
        {bench_name::sliderStepWithDiagram, &coefficientSliderStepWithDiagram},
        {bench_name::sliderStepWithRegimeMap, &coefficientSliderStepWithRegimeMap},
        {bench_name::ecologicalSliderStep, &ecologicalSliderStep},
    });
    return true;
}
