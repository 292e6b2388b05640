#pragma once

#include "model/data/fit.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <deque>
#include <memory>

class ExplorerState;
class FitSection;
class ParameterExploration;
class QTimer;

// The fit of the coefficients and the initial point to the observations shown, wired to the
// analysis window's section. The fit runs on Qt's thread pool with a cancel of its own: a new
// fit, new observations, Escape in the window or the window closing set it, and the result of
// a fit so cancelled is dropped. A fit that ends is applied as a live change of the
// coefficients and the initial point, one step of the history, then shown through the state.
class FitActions : public QObject {
    Q_OBJECT

public:
    FitActions(ExplorerState &state, ParameterExploration &exploration, QObject *parent = nullptr);
    ~FitActions() override;

    // The section of a newly made analysis window; window is that window, whose closing cancels.
    void attach(FitSection &section, QWidget &window);

    // Starts a fit of the observations shown from the coefficients set and the trajectory's
    // initial point, cancelling one under way. Nothing without observations or a section.
    void startFit();
    // Cancels the fit under way, if any; its result will be dropped.
    void cancel();
    bool running() const { return watcher_ != nullptr; }

signals:
    // The coefficients are set; this initial point is to be written where Calcular reads it and
    // the trajectory recomputed, as one step of the history named stepName.
    void startChosen(double x0, double y0, const QString &stepName);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void finished(QFutureWatcher<FitResult> *watcher);
    void estimate();
    void classicForm();
    void showFit();
    void observationsChanged();

    ExplorerState &state_;
    ParameterExploration &exploration_;
    QPointer<FitSection> section_;
    QPointer<QWidget> window_;
    // The fit under way, a child of the section; null when none runs.
    QPointer<QFutureWatcher<FitResult>> watcher_;
    // Shared with the task, which may outlive a cancelled run.
    std::shared_ptr<std::atomic<bool>> cancel_;
    FitOptions runOptions_;
    QTimer *ticker_ = nullptr;
    QElapsedTimer clock_;
    // The options each applied fit was made with, newest first, so that a fit that undo or
    // redo brings back is shown as it was made.
    struct Applied {
        FitResult result;
        FitOptions options;
    };
    std::deque<Applied> applied_;
};
