// Times the model's integrator and the window's drawing paths, then prints the medians
// beside their targets. The window runs on Qt's offscreen platform.
#include "bench/analysis_bench.h"
#include "bench/basins_bench.h"
#include "bench/basins_window_bench.h"
#include "bench/bifurcation_bench.h"
#include "bench/data_fit_bench.h"
#include "bench/fit_window_bench.h"
#include "bench/model_bench.h"
#include "bench/separatrices_bench.h"
#include "bench/targets.h"
#include "bench/trajectories_bench.h"
#include "bench/window_bench.h"
#include "interaction/prog.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>

int main(int argc, char *argv[])
{
    benchmark::Initialize(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return EXIT_FAILURE;

    if (!registerModelBenchmarks())
        return EXIT_FAILURE;
    Prog prog;
    if (!registerWindowBenchmarks(prog))
        return EXIT_FAILURE;
    Prog analysed;
    if (!registerAnalysisBenchmarks(analysed))
        return EXIT_FAILURE;
    if (!registerBifurcationBenchmarks())
        return EXIT_FAILURE;
    if (!registerDataFitBenchmarks())
        return EXIT_FAILURE;
    Prog fitted;
    if (!registerFitWindowBenchmarks(fitted))
        return EXIT_FAILURE;
    Prog portrait;
    if (!registerTrajectoryBenchmarks(portrait))
        return EXIT_FAILURE;
    Prog separated;
    if (!registerSeparatrixBenchmarks(separated))
        return EXIT_FAILURE;
    Prog basinsShown;
    if (!registerBasinBenchmarks(basinsShown))
        return EXIT_FAILURE;
    Prog basinsLarge;
    if (!registerBasinWindowBenchmarks(basinsLarge))
        return EXIT_FAILURE;

    MedianCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printTargetTable(reporter, basinAgreementPercent());
    return EXIT_SUCCESS;
}
