#include "bench/fit_window_bench.h"

#include "bench/targets.h"
#include "bench/window_driver.h"
#include "display/analysis/analysis_window.h"
#include "display/analysis/fit_section.h"
#include "interaction/analysis/analysis_layer.h"
#include "interaction/analysis/fit_actions.h"
#include "interaction/prog.h"
#include "model/data/synthetic.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QThreadPool>
#include <QWindow>

#include <chrono>

namespace {

// Notes when the watched widget is first painted after being armed.
class FirstPaint : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void pressToProgressPaint(benchmark::State &state, Prog &prog)
{
    FitSection *section = prog.analysis->analysisWindow()->findChild<FitSection *>();
    auto *press = section->findChild<QPushButton *>(QStringLiteral("ajustar"));
    FirstPaint watch;
    section->progressLabel()->installEventFilter(&watch);
    for (auto _ : state) {
        watch.painted = false;
        const auto begun = std::chrono::steady_clock::now();
        press->click();
        // The event loop's next passes, at most a thousand, until the label is painted.
        for (int pass = 0; pass < 1000 && !watch.painted; ++pass)
            QCoreApplication::processEvents();
        const auto ended = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(ended - begun).count());
        if (!watch.painted)
            state.SkipWithError("the progress label was never painted");
        // Not timed: the fit is cancelled and its task waited for, so none runs beside the next.
        prog.analysis->fitting()->cancel();
        section->showStopped(QString());
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }
    section->progressLabel()->removeEventFilter(&watch);
}

} // namespace

bool registerFitWindowBenchmarks(Prog &prog)
{
    if (!showWindow(prog))
        return false;
    if (!prog.state().setObservations(synthetic::noisySeries()))
        return benchFailure("the synthetic series cannot be shown");
    prog.analysis->showAnalysisWindow();
    QWidget *window = prog.analysis->analysisWindow();
    QElapsedTimer waited;
    waited.start();
    while (!window->windowHandle() || !window->windowHandle()->isExposed()) {
        if (waited.elapsed() > 5000)
            return benchFailure("the analysis window was never exposed");
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QCoreApplication::processEvents();
    const FitSection *section = window->findChild<FitSection *>();
    if (!section || !section->isVisible() || !section->progressLabel()->isVisible())
        return benchFailure("the fit section is not shown with observations");
    benchmark::RegisterBenchmark(bench_name::fitProgressFirstPaint, &pressToProgressPaint, std::ref(prog))
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Repetitions(10)
        ->ReportAggregatesOnly(true);
    return true;
}
