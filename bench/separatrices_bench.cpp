#include "bench/separatrices_bench.h"

#include "bench/paint_counter.h"
#include "bench/targets.h"
#include "bench/window_driver.h"
#include "display/analysis/overlays/overlay_style.h"
#include "display/plots/plot_surface.h"
#include "interaction/prog.h"
#include "model/analysis/separatrices.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QImage>
#include <QScrollBar>

namespace {

const Coefficients kDefaults{4, 0, -1, -4, 1, 0};   // one saddle, at the origin

// The four branches of the origin, each along a half-axis out to |x| or |y| = 20.
void oneSaddle(benchmark::State &state)
{
    const std::vector<Equilibrium> points = equilibria(kDefaults);
    for (auto _ : state) {
        std::vector<Separatrix> branches = separatrices(kDefaults, points);
        benchmark::DoNotOptimize(branches.data());
        benchmark::ClobberMemory();
    }
}

// The origin's unstable branch runs along the x axis: at x = 8 the axis's pixel holds its colour.
bool separatricesAreDrawn(const Prog &prog)
{
    const QImage &image = prog.XYgraf->image();
    const int column = int((150 + 400 * 8) / 15 * image.devicePixelRatio());
    const int row = int(4100 / 15 * image.devicePixelRatio());
    return image.pixel(column, row) == overlay_style::kUnstableSeparatrix.rgb();
}

// The same step with the legend on too: the legend, painted again at each step, asks where the
// separatrices are drawn and keeps its corner clear of them.
void cursorStepWithLegend(benchmark::State &state, Prog &prog)
{
    auto *legend = prog.findChild<QAction *>(QStringLiteral("leyenda"));
    legend->setChecked(true);
    repaintNow();
    timeCursorStep(state, prog);
    legend->setChecked(false);
    repaintNow();
}

} // namespace

bool registerSeparatrixBenchmarks(Prog &prog)
{
    if (separatrices(kDefaults, equilibria(kDefaults)).size() != 4)
        return benchFailure("the default system's saddle does not have four branches");
    benchmark::RegisterBenchmark(bench_name::separatricesOneSaddle, &oneSaddle)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(10)
        ->ReportAggregatesOnly(true);

    if (!showWindow(prog))
        return false;
    auto *separatrixAction = prog.findChild<QAction *>(QStringLiteral("separatrices"));
    auto *legend = prog.findChild<QAction *>(QStringLiteral("leyenda"));
    if (!separatrixAction || !legend)
        return benchFailure("the separatrices' or the legend's action is missing");
    separatrixAction->setChecked(true);
    repaintNow();
    if (!separatricesAreDrawn(prog))
        return benchFailure("the separatrix is not on the x axis with the separatrices on");
    PaintCounter paints{prog.XYgraf, prog.Xgraf, prog.Ygraf};
    prog.HScroll1->setValue(nextCursor(*prog.HScroll1));
    repaintNow();
    if (!paints.eachPaintedOnce())
        return benchFailure("a time-cursor step with the separatrices on did not paint each plot once");
    prog.HScroll1->setValue(0);
    repaintNow();
    registerOnWindow(prog, {{bench_name::separatrixCursorStep, &timeCursorStep},
                            {bench_name::separatrixLegendCursorStep, &cursorStepWithLegend}});
    return true;
}
