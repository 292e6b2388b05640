#include "bench/window_bench.h"

#include "bench/paint_counter.h"
#include "bench/targets.h"
#include "bench/window_driver.h"
#include "display/plots/plot_surface.h"
#include "display/toolkit/conversions.h"
#include "interaction/prog.h"

#include <benchmark/benchmark.h>

#include <QLineEdit>
#include <QScrollBar>

#include <functional>
#include <iterator>

namespace {

// A press in the phase plane, in twips of its drawing area, and the initial point it sets.
struct Press {
    float x, y;
    const char *xText, *yText;
};

// Two initial points whose trajectories keep all 201 samples valid, pressed in turn so that
// every press computes something new.
constexpr Press kPresses[] = {
    {2150, 2100, "5", "5"},
    {1350, 2900, "3", "3"},
};

bool allSamplesValid(const Model &model)
{
    for (int k = kFirstSample; k <= kLastSample; ++k)
        if (!model.ok(k))
            return false;
    return true;
}

void press(Prog &prog, const Press &where)
{
    prog.XYgraf_MouseDown(1, 0, where.x, where.y);
}

bool fail(const char *message)
{
    return benchFailure(message);
}

// Every measured action must end with each of the three plots painted exactly once,
// otherwise the figures would leave out (or repeat) the repaint.
bool checkActions(Prog &prog)
{
    PaintCounter paints{prog.XYgraf, prog.Xgraf, prog.Ygraf};

    paints.reset();
    prog.pintura();
    repaintNow();
    if (!paints.eachPaintedOnce())
        return fail("pintura did not lead to exactly one paint of each plot");

    for (int step = 0; step < 3; ++step) {
        paints.reset();
        const int next = nextCursor(*prog.HScroll1);
        prog.HScroll1->setValue(next);
        repaintNow();
        if (!paints.eachPaintedOnce())
            return fail("a time-cursor step did not lead to exactly one paint of each plot");
        if (prog.TR->text() != textOf(next * prog.model.dt))
            return fail("a time-cursor step did not update the time read-out");
    }

    for (bool cursorMoved : {false, true}) {
        for (const Press &where : kPresses) {
            if (cursorMoved) {
                prog.HScroll1->setValue(50);
                repaintNow();
            }
            paints.reset();
            press(prog, where);
            repaintNow();
            if (!paints.eachPaintedOnce())
                return fail("a press in the phase plane did not lead to exactly one paint of each plot");
            if (prog.XI->text() != QLatin1String(where.xText)
                || prog.YI->text() != QLatin1String(where.yText))
                return fail("a press in the phase plane did not set the expected initial point");
            if (prog.HScroll1->value() != 0 || !allSamplesValid(prog.model))
                return fail("a press in the phase plane did not recompute all 201 samples");
        }
    }
    return true;
}

void pinturaAndRepaint(benchmark::State &state, Prog &prog)
{
    for (auto _ : state) {
        prog.pintura();
        repaintNow();
    }
}

// A press with the cursor at 0, the usual case: the cursor reset changes nothing.
void pressCursorAtZero(benchmark::State &state, Prog &prog)
{
    std::size_t count = 0;
    for (auto _ : state) {
        press(prog, kPresses[count++ % std::size(kPresses)]);
        repaintNow();
    }
}

// A press with the cursor away from 0: the reset to 0 runs the change procedure, which
// draws once more before the press draws.
void pressCursorMoved(benchmark::State &state, Prog &prog)
{
    std::size_t count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        prog.HScroll1->setValue(50);
        repaintNow();
        state.ResumeTiming();
        press(prog, kPresses[count++ % std::size(kPresses)]);
        repaintNow();
    }
}

} // namespace

bool registerWindowBenchmarks(Prog &prog)
{
    if (!showWindow(prog) || !checkActions(prog))
        return false;

    registerOnWindow(prog, {
        {bench_name::pintura, &pinturaAndRepaint},
        {bench_name::cursorStep, &timeCursorStep},
        {bench_name::press, &pressCursorAtZero},
        {bench_name::pressCursorMoved, &pressCursorMoved},
    });
    return true;
}
