#include "bench/window_driver.h"

#include "interaction/prog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QWindow>

#include <cstdio>
#include <functional>

void repaintNow()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

int nextCursor(const QScrollBar &scrollBar)
{
    const int value = scrollBar.value();
    return value < scrollBar.maximum() ? value + 1 : scrollBar.minimum();
}

bool benchFailure(const char *message)
{
    std::fprintf(stderr, "lv-bench: %s\n", message);
    return false;
}

bool showWindow(Prog &prog)
{
    prog.Form_Load();
    QElapsedTimer waited;
    waited.start();
    while (!prog.windowHandle() || !prog.windowHandle()->isExposed()) {
        if (waited.elapsed() > 5000)
            return benchFailure("the window was never exposed");
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QCoreApplication::processEvents();
    for (int k = kFirstSample; k <= kLastSample; ++k)
        if (!prog.model.ok(k))
            return benchFailure("the start-up trajectory does not have 201 valid samples");
    return true;
}

void registerOnWindow(Prog &prog, std::initializer_list<WindowBenchmark> benchmarks)
{
    for (const WindowBenchmark &entry : benchmarks)
        benchmark::RegisterBenchmark(entry.name, entry.run, std::ref(prog))
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Repetitions(10)
            ->ReportAggregatesOnly(true);
}

void timeCursorStep(benchmark::State &state, Prog &prog)
{
    for (auto _ : state) {
        prog.HScroll1->setValue(nextCursor(*prog.HScroll1));
        repaintNow();
    }
    prog.HScroll1->setValue(0);
    repaintNow();
}
