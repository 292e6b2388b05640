#include "interaction/analysis/fit_actions.h"

#include "display/analysis/fit_section.h"
#include "model/ecology/ecological_form.h"
#include "interaction/analysis/parameter_exploration.h"
#include "state/explorer_state.h"

#include <QEvent>
#include <QLocale>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

namespace {

constexpr std::size_t kAppliedKept = 200;

bool sameFit(const FitResult &a, const FitResult &b)
{
    return a.fitted == b.fitted && std::bit_cast<std::uint64_t>(a.ssr) == std::bit_cast<std::uint64_t>(b.ssr);
}

// Observation − model of one species at each time it is observed, on the fit's scale; where
// that scale cannot tell (a zero on the logarithmic one), no point.
ResidualPlot::Series residualsOf(const QString &name, const Observations &series,
                                 const std::vector<std::optional<double>> &column,
                                 const std::vector<SolutionPoint> &model, bool xSpecies, ResidualScale scale)
{
    ResidualPlot::Series out{name, {}};
    const double s = fit::observedSpread(column).value_or(0);
    for (std::size_t i = 0; i < series.size() && i < model.size(); ++i) {
        if (!column[i])
            continue;
        const double observed = *column[i];
        const double value = xSpecies ? model[i].x : model[i].y;
        double r = 0;
        if (scale == ResidualScale::Logarithmic) {
            if (observed <= 0 || value <= 0)
                continue;
            r = std::log(observed) - std::log(value);
        } else {
            if (!(s > 0))
                continue;
            r = (observed - value) / s;
        }
        if (std::isfinite(r))
            out.points.push_back({series.times[i], r});
    }
    return out;
}

} // namespace

FitActions::FitActions(ExplorerState &state, ParameterExploration &exploration, QObject *parent)
    : QObject(parent), state_(state), exploration_(exploration)
{
    ticker_ = new QTimer(this);
    ticker_->setInterval(1000);
    connect(ticker_, &QTimer::timeout, this, [this] {
        if (section_ && running())
            section_->showRunning(int(clock_.elapsed() / 1000));
    });
    connect(&state_, &ExplorerState::observationsChanged, this, &FitActions::observationsChanged);
    connect(&state_, &ExplorerState::fitChanged, this, &FitActions::showFit);
    connect(&state_, &ExplorerState::ecologyChanged, this, [this] {
        if (section_)
            section_->setForm(state_.ecology());
    });
}

FitActions::~FitActions()
{
    if (cancel_)
        cancel_->store(true);
}

void FitActions::attach(FitSection &section, QWidget &window)
{
    section_ = &section;
    window_ = &window;
    window.installEventFilter(this);
    connect(&section, &FitSection::fitRequested, this, &FitActions::startFit);
    connect(&section, &FitSection::cancelRequested, this, [this] {
        cancel();
        if (section_)
            section_->showStopped(QStringLiteral("Ajuste cancelado: los coeficientes no cambiaron."));
    });
    connect(&section, &FitSection::estimateRequested, this, &FitActions::estimate);
    connect(&section, &FitSection::classicFormRequested, this, &FitActions::classicForm);
    section.setVisible(state_.observations().has_value());
    section.setForm(state_.ecology());
    showFit();
}

bool FitActions::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window_ && event->type() == QEvent::Close && running()) {
        cancel();
        if (section_)
            section_->showStopped(QStringLiteral("Ajuste cancelado al cerrar la ventana."));
    }
    return QObject::eventFilter(watched, event);
}

void FitActions::startFit()
{
    const auto &shown = state_.observations();
    if (!shown || !section_)
        return;
    cancel();
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    runOptions_ = section_->choices();
    runOptions_.dt = state_.system().dt;
    // With a form in force the fit runs over its parameters, from those shown.
    runOptions_.form = state_.ecology();
    const Model &m = state_.model();
    // Sample 0 is the initial point (the samples before it run backwards in time).
    FitParameters start{state_.coefficients(), m.xs(0), m.ys(0)};
    const Observations series = shown->scaled.series;
    auto *watcher = new QFutureWatcher<FitResult>(section_);
    watcher_ = watcher;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] { finished(watcher); });
    watcher->setFuture(QtConcurrent::run(QThreadPool::globalInstance(),
                                         [series, start, options = runOptions_, cancel = cancel_]() mutable {
                                             options.cancel = cancel.get();
                                             return fitObservations(series, start, options);
                                         }));
    clock_.start();
    ticker_->start();
    section_->showRunning(0);
}

void FitActions::cancel()
{
    if (cancel_)
        cancel_->store(true);
    if (watcher_) {
        // The task ends at its next evaluation; what it returns then is nobody's.
        watcher_->disconnect(this);
        watcher_->deleteLater();
        watcher_ = nullptr;
    }
    ticker_->stop();
}

void FitActions::finished(QFutureWatcher<FitResult> *watcher)
{
    if (watcher != watcher_)
        return;
    const FitResult result = watcher->result();
    watcher->deleteLater();
    watcher_ = nullptr;
    ticker_->stop();
    if (cancel_->load() || !state_.observations())
        return;
    const double seconds = double(clock_.elapsed()) / 1000;
    if (result.status == FitStatus::Refused || result.status == FitStatus::Cancelled) {
        if (section_) {
            section_->showStopped(QString());
            section_->showFit(result, runOptions_, {}, {}, {});
        }
        return;
    }
    applied_.push_front({result, runOptions_});
    if (applied_.size() > kAppliedKept)
        applied_.pop_back();
    state_.setCoefficients(result.fitted.coefficients);
    // The parameters fitted, as typed, so that the ecological section shows them.
    if (result.fittedForm)
        state_.showEcology(*result.fittedForm);
    emit startChosen(result.fitted.x0, result.fitted.y0, QStringLiteral("ajustar a los datos"));
    state_.setFit(result);
    if (section_)
        section_->showStopped(QStringLiteral("Ajustado en %1 s.").arg(QLocale().toString(seconds, 'f', 2)));
}

void FitActions::showFit()
{
    if (!section_)
        return;
    const std::optional<FitResult> &fit = state_.fit();
    const auto &shown = state_.observations();
    if (!fit || !shown) {
        section_->clearFit();
        return;
    }
    FitOptions options;
    bool found = false;
    for (const Applied &a : applied_)
        if (sameFit(a.result, *fit)) {
            options = a.options;
            found = true;
            break;
        }
    // A fit not made here: its held parameters are those without a standard error.
    if (!found && fit->identifiable)
        for (int i = 0; i < fit::kParameterCount; ++i)
            options.held[std::size_t(i)] = !fit->standardErrors[std::size_t(i)];
    const Observations &series = shown->scaled.series;
    const QString xName = QString::fromStdString(shown->observed.xName);
    const QString yName = QString::fromStdString(shown->observed.yName);
    std::vector<ResidualPlot::Series> residuals;
    if (const auto model = solutionAt(fit->fitted, series.times, state_.system().dt)) {
        residuals.push_back(residualsOf(xName, series, series.xs, *model, true, options.scale));
        residuals.push_back(residualsOf(yName, series, series.ys, *model, false, options.scale));
    }
    section_->showFit(*fit, options, xName, yName, std::move(residuals));
}

// «Estimar»: the regression's coefficients and the first observation become the start, as a
// live change, and its table is shown.
void FitActions::estimate()
{
    const auto &shown = state_.observations();
    if (!shown || !section_)
        return;
    const Model &m = state_.model();
    const FitParameters current{state_.coefficients(), m.xs(0), m.ys(0)};
    // With a form in force the letters' boxes are hidden: the regression keeps the coefficients
    // the form holds at zero (F of predator and prey, B with no capacity limit) and frees the rest.
    std::array<bool, fit::kParameterCount> held = section_->choices().held;
    if (const auto &form = state_.ecology()) {
        const fit::Values values = fit::valuesOf({coefficientsOf(*form), 0, 0});
        for (int i = 0; i < 6; ++i)
            held[std::size_t(i)] = values[std::size_t(i)] == 0;
    }
    const auto made = growthEstimate(shown->scaled.series, current, held);
    if (const auto *why = std::get_if<std::string>(&made)) {
        section_->showEstimateRefused(QString::fromStdString(*why));
        return;
    }
    const GrowthEstimate &e = std::get<GrowthEstimate>(made);
    section_->showEstimate(e);
    cancel();
    state_.setCoefficients(e.start.coefficients);
    emit startChosen(e.start.x0, e.start.y0, QStringLiteral("estimar el inicio"));
}

// «Forma clásica»: B = F = 0, held (the section ticks them), recomputed as one change.
void FitActions::classicForm()
{
    exploration_.setCoefficients(1, 0.0, 5, 0.0);
}

void FitActions::observationsChanged()
{
    const bool wasRunning = running();
    cancel();
    if (!section_)
        return;
    section_->showStopped(wasRunning ? QStringLiteral("Ajuste cancelado: las observaciones cambiaron.") : QString());
    section_->clearEstimate();
    section_->setVisible(state_.observations().has_value());
    showFit();
}
