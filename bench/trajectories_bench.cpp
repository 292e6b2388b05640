#include "bench/trajectories_bench.h"

#include "bench/analysis_bench.h"
#include "bench/targets.h"
#include "bench/window_driver.h"
#include "display/plots/plot_surface.h"
#include "interaction/prog.h"
#include "state/plane_view.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QElapsedTimer>
#include <QWheelEvent>

#include <cmath>
#include <cstddef>
#include <functional>

namespace {

bool check(Prog &prog, const char *name)
{
    auto *action = prog.findChild<QAction *>(QString::fromLatin1(name));
    if (!action)
        return false;
    action->setChecked(true);
    return true;
}

// Fifty presses along the diagonal give fifty nested orbits around (4, 4).
bool keepFifty(Prog &prog)
{
    if (!check(prog, "conservar") || !check(prog, "extremos"))
        return benchFailure("the trajectory options are missing");
    for (int i = 0; i <= 50; ++i)
        prog.XYgraf_MouseDown(1, 0, 1750.0f + 20 * float(i), 2500.0f - 20 * float(i));
    repaintNow();
    if (prog.state().keptTrajectories().size() != ExplorerState::kMaxKept)
        return benchFailure("fifty trajectories are not kept");
    if (prog.state().turningPoints().empty())
        return benchFailure("the current trajectory has no turning points");
    return true;
}

// What one step of a drag does: a press at the pointer's pixel delivered as the plot's event,
// recomputing and redrawing (a drag keeps no trajectory after its first).
void dragStep(benchmark::State &state, Prog &prog)
{
    prog.findChild<QAction *>(QStringLiteral("conservar"))->setChecked(false);
    const QPoint border(2, 2);
    int step = 0;
    for (auto _ : state) {
        const QPointF at(QPoint(143 - step % 20, 140) + border);
        QMouseEvent press(QEvent::MouseButtonPress, at, prog.XYgraf->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(prog.XYgraf, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, prog.XYgraf->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(prog.XYgraf, &release);
        repaintNow();
        ++step;
    }
}

// What a frame of play does, the time cursor one sample on, with every overlay on: the level
// curves, the separatrices, the basins (their map complete before the first frame) and the
// legend as well as the analysis overlays.
void playFrame(benchmark::State &state, Prog &prog)
{
    const char *extra[] = {"integralPrimera", "separatrices", "cuencas", "leyenda"};
    for (const char *name : extra)
        prog.findChild<QAction *>(QString::fromLatin1(name))->setChecked(true);
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    repaintNow();
    for (auto _ : state) {
        prog.state().setCursor(nextCursor(*prog.HScroll1));
        repaintNow();
    }
    for (const char *name : extra)
        prog.findChild<QAction *>(QString::fromLatin1(name))->setChecked(false);
    repaintNow();
}

// Notches of the wheel at a pixel of the phase plane, closer and back in turn, with the legend
// on: the view changes, every underlay is painted again and the plots redrawn.
void wheelNotchesAt(benchmark::State &state, Prog &prog, QPoint pixel)
{
    auto *legend = prog.findChild<QAction *>(QStringLiteral("leyenda"));
    legend->setChecked(true);
    const QPointF at(pixel + QPoint(2, 2));
    int notches = 1;
    for (auto _ : state) {
        QWheelEvent wheel(at, prog.XYgraf->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(prog.XYgraf, &wheel);
        repaintNow();
        notches = -notches;
    }
    legend->setChecked(false);
}

void wheelNotch(benchmark::State &state, Prog &prog)
{
    wheelNotchesAt(state, prog, QPoint(120, 130));
    prog.findChild<QAction *>(QStringLiteral("vistaInicial"))->trigger();
}

// The same over the bottom-right corner of the plane at the deepest zoom, far from the diagonal,
// where each axis's ticks lie some 2e8 steps from the other's.
void wheelNotchAtDeepCorner(benchmark::State &state, Prog &prog)
{
    using namespace plane_view;
    const double side = kNarrowest * kZoomStep;
    prog.state().setView({kBound - side, -kBound, side});
    repaintNow();
    const int last = prog.XYgraf->width() - 5;   // the plot's last pixel inside its border
    wheelNotchesAt(state, prog, QPoint(last, last));
    const PlaneView v = prog.state().view();
    if (!(v.side <= 2 * kNarrowest && v.left >= kBound - 2 * kNarrowest
          && v.bottom <= -kBound + kNarrowest))
        state.SkipWithError("the view left the deep corner");
    prog.findChild<QAction *>(QStringLiteral("vistaInicial"))->trigger();
}

// The window resized from its designed size to the designed one magnified by half (or twice),
// and back in turn: the controls placed again, the plots drawn afresh at their new size.
void resizeStepTo(benchmark::State &state, Prog &prog, double g)
{
    const QSize designed = prog.minimumSize();
    const QSize magnified(int(std::ceil(designed.width() * g)), int(std::ceil(designed.height() * g)));
    bool grown = false;
    for (auto _ : state) {
        grown = !grown;
        prog.resize(grown ? magnified : designed);
        QCoreApplication::sendPostedEvents();
        repaintNow();
    }
    prog.resize(designed);
    QCoreApplication::sendPostedEvents();
    repaintNow();
}

void resizeStep(benchmark::State &state, Prog &prog)
{
    resizeStepTo(state, prog, 1.5);
}

void resizeStepToTwice(benchmark::State &state, Prog &prog)
{
    resizeStepTo(state, prog, 2);
}

// One step of the time cursor in the window magnified twice.
void magnifiedCursorStep(benchmark::State &state, Prog &prog)
{
    const QSize designed = prog.minimumSize();
    prog.resize(designed * 2);
    QCoreApplication::sendPostedEvents();
    repaintNow();
    if (prog.XYgraf->magnification() != 2)
        state.SkipWithError("the window is not magnified twice");
    else
        timeCursorStep(state, prog);
    prog.resize(designed);
    QCoreApplication::sendPostedEvents();
    repaintNow();
}

// A press taken back and done again: each restores the state, recomputes the 50 kept
// trajectories from their inputs and redraws the plots.
void undoRedo(benchmark::State &state, Prog &prog)
{
    prog.XYgraf_MouseDown(1, 0, 2150.0f, 2100.0f);
    QCoreApplication::processEvents();   // the press settles into a step
    auto *undo = prog.findChild<QAction *>(QStringLiteral("deshacer"));
    auto *redo = prog.findChild<QAction *>(QStringLiteral("rehacer"));
    if (!undo->isEnabled()) {
        state.SkipWithError("the press is no step to undo");
        return;
    }
    for (auto _ : state) {
        undo->trigger();
        repaintNow();
        redo->trigger();
        repaintNow();
    }
}

} // namespace

bool registerTrajectoryBenchmarks(Prog &prog)
{
    if (!showWindow(prog) || !turnEveryOverlayOn(prog) || !keepFifty(prog))
        return false;
    registerOnWindow(prog, {
        {bench_name::keptCursorStep, &timeCursorStep},
        {bench_name::dragStep, &dragStep},
        {bench_name::playFrame, &playFrame},
        {bench_name::wheelNotch, &wheelNotch},
        {bench_name::wheelNotchDeepCorner, &wheelNotchAtDeepCorner},
        {bench_name::resizeStep, &resizeStep},
        {bench_name::resizeStepToTwice, &resizeStepToTwice},
        {bench_name::magnifiedCursorStep, &magnifiedCursorStep},
        {bench_name::undoRedo, &undoRedo},
    });
    return true;
}
