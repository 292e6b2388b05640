#include "state/explorer_state.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {

// The model's coefficients A to F by index.
constexpr double Model::*kCoefficients[] = {&Model::A, &Model::B, &Model::C, &Model::D, &Model::E, &Model::F};

bool sameSamples(const Trajectory &a, const Model &m)
{
    for (int k = kFirstSample; k <= kLastSample; ++k)
        if (a.ok(k) != m.ok(k) || a.xs(k) != m.xs(k) || a.ys(k) != m.ys(k))
            return false;
    return a.dt == m.dt;
}

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool sameEcology(const std::optional<EcologicalParameters> &a, const std::optional<EcologicalParameters> &b)
{
    if (!a || !b)
        return !a && !b;
    if (a->form != b->form)
        return false;
    for (int i = 0; i < kMaxParameters; ++i)
        if (!sameBits(a->values[std::size_t(i)], b->values[std::size_t(i)]))
            return false;
    return true;
}

bool allFinite(const Coefficients &k)
{
    return std::isfinite(k.A) && std::isfinite(k.B) && std::isfinite(k.C) && std::isfinite(k.D) && std::isfinite(k.E)
           && std::isfinite(k.F);
}

} // namespace

ExplorerState::ExplorerState(QObject *parent) : QObject(parent)
{
}

void ExplorerState::setDefaults()
{
    model_.setDefaults();
    for (int index = 0; index < 6; ++index)
        emit coefficientChanged(index, coefficient(index));
    showFormOfCoefficients();
}

double ExplorerState::coefficient(int index) const
{
    return model_.*kCoefficients[index];
}

Coefficients ExplorerState::coefficients() const
{
    return {model_.A, model_.B, model_.C, model_.D, model_.E, model_.F};
}

bool ExplorerState::storeCoefficient(int index, double value)
{
    if (index < 0 || index > 5 || !std::isfinite(value))
        return false;
    model_.*kCoefficients[index] = value;
    emit coefficientChanged(index, value);
    return true;
}

bool ExplorerState::setCoefficient(int index, double value)
{
    if (!storeCoefficient(index, value))
        return false;
    findEcology();
    return true;
}

// The parameters are found once all six are set: halfway they may fit no form.
void ExplorerState::setCoefficients(const Coefficients &k)
{
    const double values[] = {k.A, k.B, k.C, k.D, k.E, k.F};
    for (int index = 0; index < 6; ++index)
        storeCoefficient(index, values[index]);
    findEcology();
}

// ---- The ecological form ----

std::optional<EcologicalParameters> ExplorerState::ecologyFound(const Coefficients &k) const
{
    if (ecology_)
        if (auto kept = parametersFrom(k, ecologicalForm_, ecology_->value("h1"), ecology_->value("h2")))
            return kept;
    return parametersFrom(k, ecologicalForm_);
}

std::optional<EcologicalParameters> ExplorerState::ecology() const
{
    const Coefficients k = coefficients();
    if (ecology_ && ecology_->form == ecologicalForm_ && bitIdentical(coefficientsOf(*ecology_), k))
        return ecology_;
    return ecologyFound(k);
}

bool ExplorerState::ecologyTyped() const
{
    return ecologyTyped_ && ecology_ && bitIdentical(coefficientsOf(*ecology_), coefficients());
}

// After the coefficients changed: the parameters typed stand while they give them.
void ExplorerState::findEcology()
{
    const std::optional<EcologicalParameters> now = ecology();
    ecologyTyped_ = ecologyTyped();
    if (sameEcology(now, ecology_))
        return;
    ecology_ = now;
    emit ecologyChanged();
}

void ExplorerState::setEcologicalForm(EcologicalForm form)
{
    if (form == ecologicalForm_)
        return;
    ecologicalForm_ = form;
    // The harvest carries over to the new form where it fits.
    ecology_ = ecologyFound(coefficients());
    ecologyTyped_ = false;
    emit ecologyChanged();
}

bool ExplorerState::setEcologicalParameter(int index, double value)
{
    return setEcologicalParameters(index, value, index, value);
}

bool ExplorerState::setEcologicalParameters(int first, double firstValue, int second, double secondValue)
{
    std::optional<EcologicalParameters> p = ecology();
    const auto fits = [&p](int index, double value) {
        return index >= 0 && index < p->count() && fitsDomain(value, parametersOf(p->form)[std::size_t(index)].domain);
    };
    if (!p || !fits(first, firstValue) || !fits(second, secondValue))
        return false;
    p->values[std::size_t(first)] = firstValue;
    p->values[std::size_t(second)] = secondValue;
    const Coefficients k = coefficientsOf(*p);
    if (!allFinite(k))
        return false;
    // All six are stored before anyone hears of one, so that each listener finds the
    // parameters giving the coefficients set.
    const Coefficients before = coefficients();
    ecology_ = p;
    ecologyTyped_ = true;
    const double was[] = {before.A, before.B, before.C, before.D, before.E, before.F};
    const double now[] = {k.A, k.B, k.C, k.D, k.E, k.F};
    for (int i = 0; i < 6; ++i)
        model_.*kCoefficients[i] = now[i];
    for (int i = 0; i < 6; ++i)
        if (!sameBits(was[i], now[i]))
            emit coefficientChanged(i, now[i]);
    emit ecologyChanged();
    return true;
}

bool ExplorerState::showEcology(const EcologicalParameters &parameters)
{
    if (!isValid(parameters) || !bitIdentical(coefficientsOf(parameters), coefficients()))
        return false;
    const bool same = parameters.form == ecologicalForm_ && sameEcology(parameters, ecology_);
    ecologicalForm_ = parameters.form;
    ecology_ = parameters;
    ecologyTyped_ = true;
    if (!same)
        emit ecologyChanged();
    return true;
}

void ExplorerState::showFormOfCoefficients()
{
    const std::optional<EcologicalParameters> fits = formOf(coefficients());
    if (!fits) {
        findEcology();
        return;
    }
    const bool same = fits->form == ecologicalForm_ && sameEcology(fits, ecology_);
    ecologicalForm_ = fits->form;
    ecology_ = fits;
    ecologyTyped_ = false;
    if (!same)
        emit ecologyChanged();
}

bool ExplorerState::setSpan(double span)
{
    if (!Model::isUsableSpan(span))
        return false;
    model_.dt = span / 100;
    return true;
}

void ExplorerState::recompute(const Model::Reader &readX, const Model::Reader &readY)
{
    const Trajectory before = trajectory();
    model_.calcula(readX, readY);
    keepReplaced(before);
    const Coefficients k = coefficients();
    const bool newCoefficients = !analysed_ || !(k == system_.coefficients);
    const bool newStep = !analysed_ || model_.dt != system_.dt;
    if (newCoefficients || newStep)
        system_ = analyse(k, model_.dt);
    analysed_ = true;
    turningPoints_ = ::turningPoints(k, model_.xs, model_.ys, model_.ok);
    const bool fitGone = fit_ && !(fit_->fitted.coefficients == k);
    if (fitGone)
        fit_.reset();
    emit recomputed(newCoefficients, newStep);
    if (fitGone)
        emit fitChanged();
}

// While kept trajectories are wanted, the one a recomputation replaced joins them, unless
// nothing changed; of a continuous change only the first one it replaced is kept.
void ExplorerState::keepReplaced(const Trajectory &replaced)
{
    if (!analysed_ || !option(Option::KeepTrajectories) || sameSamples(replaced, model_))
        return;
    if (continuing_ && std::exchange(keptDuringChange_, true))
        return;
    kept_.push_front(replaced);
    if (kept_.size() > kMaxKept)
        kept_.pop_back();
    emit keptTrajectoriesChanged();
}

void ExplorerState::clearKeptTrajectories()
{
    kept_.clear();
    emit keptTrajectoriesChanged();
}

void ExplorerState::setKeptTrajectories(std::deque<Trajectory> kept)
{
    if (!option(Option::KeepTrajectories))
        kept.clear();
    if (kept.size() > kMaxKept)
        kept.resize(kMaxKept);
    kept_ = std::move(kept);
    emit keptTrajectoriesChanged();
}

void ExplorerState::beginContinuousChange()
{
    continuing_ = true;
    keptDuringChange_ = false;
}

void ExplorerState::endContinuousChange()
{
    if (!std::exchange(continuing_, false))
        return;
    emit continuousChangeEnded();
}

ExplorerState::Snapshot ExplorerState::snapshot() const
{
    Snapshot s{model_,   system_,         analysed_, turningPoints_, {},           cursor_, options_,
               view_,    ecologicalForm_, ecology(), ecologyTyped(), observations_, fit_};
    s.kept.reserve(kept_.size());
    for (const Trajectory &t : kept_)
        s.kept.push_back(inputsOf(t));
    return s;
}

void ExplorerState::restore(const Snapshot &s)
{
    const Coefficients setBefore = coefficients();
    const AnalysedSystem systemBefore = system_;
    const bool trajectoryChanged = !analysed_ || !sameSamples(trajectory(), s.model) || systemBefore.dt != s.system.dt
                                   || !(systemBefore.coefficients == s.system.coefficients);
    const std::array<bool, kOptionCount> optionsBefore = options_;
    const PlaneView viewBefore = view_;
    const EcologicalForm formBefore = ecologicalForm_;
    const std::optional<EcologicalParameters> ecologyBefore = ecology();
    const bool observationsChanged = observations_ != s.observations;
    const bool fitChanged = fit_.has_value() || s.fit.has_value();

    model_ = s.model;
    system_ = s.system;
    analysed_ = s.analysed;
    turningPoints_ = s.turningPoints;
    // A kept trajectory both hold is taken as it is; only the others are computed again.
    std::deque<Trajectory> kept;
    for (const TrajectoryInputs &inputs : s.kept) {
        const auto same = std::find_if(kept_.begin(), kept_.end(),
                                       [&](const Trajectory &t) { return sameInputs(inputsOf(t), inputs); });
        kept.push_back(same != kept_.end() ? *same : computedTrajectory(inputs));
    }
    kept_ = std::move(kept);
    continuing_ = false;
    cursor_ = std::clamp(s.cursor, kFirstSample, kLastSample);
    options_ = s.options;
    view_ = plane_view::clamped(s.view);
    ecologicalForm_ = s.ecologicalForm;
    ecology_ = s.ecology;
    ecologyTyped_ = s.ecologyTyped;
    observations_ = s.observations;
    fit_ = s.fit;

    const Coefficients setNow = coefficients();
    const double before[] = {setBefore.A, setBefore.B, setBefore.C, setBefore.D, setBefore.E, setBefore.F};
    const double now[] = {setNow.A, setNow.B, setNow.C, setNow.D, setNow.E, setNow.F};
    for (int index = 0; index < 6; ++index)
        if (std::bit_cast<std::uint64_t>(before[index]) != std::bit_cast<std::uint64_t>(now[index]))
            emit coefficientChanged(index, now[index]);
    if (formBefore != ecologicalForm_ || !sameEcology(ecologyBefore, ecology()))
        emit ecologyChanged();
    for (std::size_t i = 0; i < kOptionCount; ++i)
        if (optionsBefore[i] != options_[i])
            emit optionChanged(Option(i), options_[i]);
    // In the order a recomputation says it: the kept trajectories, then the new one.
    emit keptTrajectoriesChanged();
    if (trajectoryChanged)
        emit recomputed(!(systemBefore.coefficients == system_.coefficients), systemBefore.dt != system_.dt);
    if (!(viewBefore == view_))
        emit viewChanged();
    if (observationsChanged)
        emit this->observationsChanged();
    if (fitChanged)
        emit this->fitChanged();
    emit cursorMoved(cursor_);
}

void ExplorerState::setCursor(int sample)
{
    sample = std::clamp(sample, kFirstSample, kLastSample);
    if (sample == cursor_)
        return;
    cursor_ = sample;
    emit cursorMoved(sample);
}

void ExplorerState::moveToTurningPoint(int direction)
{
    const int c = cursor_;
    int target = c;
    if (direction > 0) {
        for (const TurningPoint &p : turningPoints_)
            if (p.sample > c) {
                target = p.sample;
                break;
            }
    } else {
        for (auto it = turningPoints_.rbegin(); it != turningPoints_.rend(); ++it)
            if (it->sample < c) {
                target = it->sample;
                break;
            }
    }
    setCursor(target);
}

void ExplorerState::setOption(Option which, bool on)
{
    if (option(which) == on)
        return;
    options_[std::size_t(which)] = on;
    if (which == Option::KeepTrajectories && !on && !kept_.empty()) {
        kept_.clear();
        emit keptTrajectoriesChanged();
    }
    if (which == Option::Legend && !on)
        setLegendCorner(std::nullopt);
    emit optionChanged(which, on);
}

void ExplorerState::setLegendCorner(std::optional<LegendCorner> corner)
{
    if (corner == legendCorner_)
        return;
    legendCorner_ = corner;
    emit legendCornerChanged();
}

void ExplorerState::setView(const PlaneView &view)
{
    const PlaneView within = plane_view::clamped(view);
    if (within == view_)
        return;
    view_ = within;
    emit viewChanged();
}

void ExplorerState::fitView()
{
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    const auto hold = [&](double x, double y) {
        if (!(std::fabs(x) < plane_view::kBound && std::fabs(y) < plane_view::kBound))
            return;
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    };
    for (int k = kFirstSample; k <= kLastSample; ++k)
        if (model_.ok(k))
            hold(model_.xs(k), model_.ys(k));
    for (const Equilibrium &e : system_.equilibria)
        if (e.shape == Equilibrium::Shape::Point)
            hold(e.x, e.y);
    if (x0 <= x1)
        setView(plane_view::fitting(x0, y0, x1, y1));
}

bool ExplorerState::setObservations(const Observations &observed, std::optional<ObservationUnit> unit)
{
    std::optional<ScaledObservations> scaled = inProgramUnits(observed, unit.value_or(chosenUnit(observed)));
    if (!scaled)
        return false;
    observations_ = ShownObservations{observed, std::move(*scaled)};
    clearFit();
    emit observationsChanged();
    return true;
}

bool ExplorerState::setObservationUnit(ObservationUnit unit)
{
    if (!observations_)
        return false;
    if (unit == observations_->scaled.unit)
        return true;
    const Observations observed = observations_->observed;
    return setObservations(observed, unit);
}

void ExplorerState::clearObservations()
{
    if (!observations_)
        return;
    observations_.reset();
    clearFit();
    emit observationsChanged();
}

void ExplorerState::setFit(const FitResult &result)
{
    if (!observations_)
        return;
    fit_ = result;
    emit fitChanged();
}

void ExplorerState::clearFit()
{
    if (!std::exchange(fit_, std::nullopt))
        return;
    emit fitChanged();
}
