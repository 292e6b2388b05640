#include "bench/basins_bench.h"

#include "bench/targets.h"
#include "bench/window_driver.h"
#include "display/analysis/overlays/phase_geometry.h"
#include "display/plots/plot_mapping.h"
#include "display/views/basin_map.h"
#include "display/views/plot_views.h"
#include "interaction/prog.h"
#include "model/analysis/analysed_system.h"
#include "model/analysis/examples.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QEventLoop>
#include <QTimer>
#include <QtConcurrent>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

namespace {

// About the phase plane's drawing area at its designed size (4300 twips).
constexpr QSize kArea(287, 287);

double agreement = -1;

AnalysedSystem exclusion()
{
    for (const ExampleSystem &example : exampleSystems())
        if (std::strcmp(example.id, "competencia_exclusion") == 0)
            return analyse(example.coefficients, example.span / 100);
    return {};
}

// Waits in the event loop, as the window does, until the map holds the given share: asleep
// between events, so that the wait takes no processor from the rows.
bool waitFor(const BasinMap &map, bool whole)
{
    const auto done = [&map, whole] { return whole ? map.complete() : map.percent() > 0; };
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    QObject::connect(&map, &BasinMap::updated, &loop, [&loop, &done] {
        if (done())
            loop.quit();
    });
    if (!done())
        loop.exec();
    return done();
}

// From the request to the last pixel (or to the first coarse map), through the thread pool
// and the event loop: what the window waits.
void basinMap(benchmark::State &state, bool whole)
{
    const AnalysedSystem system = exclusion();
    const plot_mapping::PlotMapping m = plot_mapping::mappingFor(PlaneView{});
    BasinMap map;
    for (auto _ : state) {
        map.clear();
        map.request(system, m, kArea);
        if (!waitFor(map, whole)) {
            state.SkipWithError("the basin map did not finish within 10 s");
            return;
        }
    }
}

// Every pixel integrated until it settles on an attractor, with no early stop, on the same
// threads; then the share of pixels where it agrees with the window's map.
void naiveMap(benchmark::State &state)
{
    const AnalysedSystem system = exclusion();
    const basins::BasinSystem basinSystem = basins::basinSystem(system.coefficients, system.equilibria);
    const PlaneRect plane = phase_geometry::visibleRect(plot_mapping::mappingFor(PlaneView{}), QSizeF(kArea));
    basins::Map naive({plane.xMin, plane.xMax, plane.yMin, plane.yMax, kArea.width(), kArea.height()});
    std::vector<int> rows(std::size_t(kArea.height()));
    std::iota(rows.begin(), rows.end(), 0);
    for (auto _ : state)
        QtConcurrent::blockingMap(rows, [&](const int &row) {
            for (int column = 0; column < naive.grid.width; ++column)
                naive.labels[std::size_t(row) * std::size_t(naive.grid.width) + std::size_t(column)] =
                    basins::settledFate(basinSystem, naive.grid.x(column), naive.grid.y(row));
        });

    BasinMap ours;
    ours.request(system, plot_mapping::mappingFor(PlaneView{}), kArea);
    if (!waitFor(ours, true) || !ours.labels()) {
        state.SkipWithError("the basin map did not finish within 10 s");
        return;
    }
    const std::vector<basins::Label> &labels = ours.labels()->labels;
    std::size_t same = 0;
    for (std::size_t i = 0; i < labels.size(); ++i)
        same += labels[i] == naive.labels[i];
    agreement = 100.0 * double(same) / double(labels.size());
}

// A time-cursor step over the finished basins of competition with exclusion, with the
// equilibria shown.
bool basinsOn(Prog &prog)
{
    auto *example = prog.findChild<QAction *>(QStringLiteral("modelo_competencia_exclusion"));
    auto *basinsAction = prog.findChild<QAction *>(QStringLiteral("cuencas"));
    auto *equilibriaAction = prog.findChild<QAction *>(QStringLiteral("equilibrios"));
    if (!example || !basinsAction || !equilibriaAction)
        return benchFailure("the example's or the basins' action is missing");
    example->trigger();
    basinsAction->setChecked(true);
    equilibriaAction->setChecked(true);
    repaintNow();
    const auto *map = prog.findChild<BasinMap *>();
    if (!map || !waitFor(*map, true))
        return benchFailure("the window's basin map did not finish within 10 s");
    repaintNow();
    return true;
}

} // namespace

double basinAgreementPercent()
{
    return agreement;
}

bool registerBasinBenchmarks(Prog &prog)
{
    if (!showWindow(prog) || !basinsOn(prog))
        return false;
    for (const auto &[name, whole] : {std::pair{bench_name::basinFullMap, true}, {bench_name::basinCoarseMap, false}})
        benchmark::RegisterBenchmark(name, basinMap, whole)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Repetitions(10)
            ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark(bench_name::basinNaiveMap, naiveMap)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
    registerOnWindow(prog, {{bench_name::basinCursorStep, &timeCursorStep}});
    return true;
}
