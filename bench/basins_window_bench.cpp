#include "bench/basins_window_bench.h"

#include "bench/targets.h"
#include "bench/window_driver.h"
#include "display/views/basin_map.h"
#include "interaction/prog.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

// A stiff node at (1, 1), rates -1e6 and -1e-6: the steps are short and the trajectories slow,
// so the map at this size computes for seconds.
constexpr Coefficients kStiffNode{1e6, -1e6, 0, 1e-6, 0, -1e-6};
constexpr QSize kWindowSize(1600, 1000);
// The probe's period, and how long each measurement watches the computation.
constexpr int kProbeMs = 5;
constexpr qint64 kWatchedMs = 3000;
// How long the window computes before it is closed.
constexpr qint64 kBeforeClosingMs = 500;

QAction *actionOf(Prog &prog, const char *name)
{
    return prog.findChild<QAction *>(QLatin1String(name));
}

// The window at 1600 × 1000 with the stiff node and its equilibria shown; basins off.
bool stiffNodeAtLargeSize(Prog &prog)
{
    QAction *basins = actionOf(prog, "cuencas");
    QAction *equilibria = actionOf(prog, "equilibrios");
    if (!basins || !equilibria)
        return benchFailure("the basins' or the equilibria's action is missing");
    prog.resize(kWindowSize);
    prog.state().setCoefficients(kStiffNode);
    prog.Calcular_Click();
    equilibria->setChecked(true);
    QCoreApplication::sendPostedEvents();
    repaintNow();
    if (prog.size() != kWindowSize)
        return benchFailure("the window did not take the size 1600 x 1000");
    return true;
}

// Runs the event loop for this long, asleep while no event comes.
void runFor(qint64 ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Turns the basins on and runs the event loop until their map is computing.
const BasinMap *startBasins(Prog &prog)
{
    actionOf(prog, "cuencas")->setChecked(true);
    repaintNow();
    const auto *map = prog.findChild<BasinMap *>();
    return map && map->active() && !map->complete() ? map : nullptr;
}

// The longest time an event waited on the GUI thread while a fresh map computes: a timer due
// every 5 ms notes how late each of its turns comes, while the time cursor steps as in play
// (a frame every 40 ms), each step drawing the basins' tints again.
void longestWait(benchmark::State &state, Prog &prog)
{
    QAction *basins = actionOf(prog, "cuencas");
    for (auto _ : state) {
        basins->setChecked(false);
        const BasinMap *map = startBasins(prog);
        if (!map) {
            state.SkipWithError("the basin map did not start");
            return;
        }
        qint64 longest = 0;   // nanoseconds
        QElapsedTimer clock;
        clock.start();
        qint64 due = kProbeMs * 1000000LL;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - due);
            due = now + kProbeMs * 1000000LL;
        });
        QTimer frames;
        QObject::connect(&frames, &QTimer::timeout, [&prog] { prog.HScroll1->setValue(nextCursor(*prog.HScroll1)); });
        probe.start(kProbeMs);
        frames.start(40);
        QEventLoop loop;
        QTimer::singleShot(kWatchedMs, &loop, &QEventLoop::quit);
        QObject::connect(map, &BasinMap::updated, &loop, [&loop, map] {
            if (map->complete())
                loop.quit();
        });
        loop.exec();
        probe.stop();
        frames.stop();
        state.SetIterationTime(double(longest) / 1e9);
    }
    basins->setChecked(false);
    prog.HScroll1->setValue(0);
    repaintNow();
}

// A window closed half a second into its basins at 1600 × 1000: from the close to the end of
// its destruction, with every thread it started stopped.
void closeMidComputation(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto prog = std::make_unique<Prog>();
        if (!showWindow(*prog) || !stiffNodeAtLargeSize(*prog) || !startBasins(*prog)) {
            state.SkipWithError("the window did not start its basins");
            return;
        }
        runFor(kBeforeClosingMs);
        if (prog->findChild<BasinMap *>()->complete()) {
            state.SkipWithError("the basin map was complete before the window closed");
            return;
        }
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        prog->close();
        prog.reset();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
}

} // namespace

bool registerBasinWindowBenchmarks(Prog &prog)
{
    if (!showWindow(prog) || !stiffNodeAtLargeSize(prog))
        return false;
    benchmark::RegisterBenchmark(bench_name::basinLongestWait, longestWait, std::ref(prog))
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark(bench_name::basinClose, closeMidComputation)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    return true;
}
