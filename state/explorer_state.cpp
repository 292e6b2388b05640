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

} // namespace

ExplorerState::ExplorerState(QObject *parent) : QObject(parent)
{
}

void ExplorerState::setDefaults()
{
    model_.setDefaults();
    for (int index = 0; index < 6; ++index)
        emit coefficientChanged(index, coefficient(index));
}

double ExplorerState::coefficient(int index) const
{
    return model_.*kCoefficients[index];
}

Coefficients ExplorerState::coefficients() const
{
    return {model_.A, model_.B, model_.C, model_.D, model_.E, model_.F};
}

bool ExplorerState::setCoefficient(int index, double value)
{
    if (index < 0 || index > 5 || !std::isfinite(value))
        return false;
    model_.*kCoefficients[index] = value;
    emit coefficientChanged(index, value);
    return true;
}

void ExplorerState::setCoefficients(const Coefficients &k)
{
    const double values[] = {k.A, k.B, k.C, k.D, k.E, k.F};
    for (int index = 0; index < 6; ++index)
        setCoefficient(index, values[index]);
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
    emit recomputed(newCoefficients, newStep);
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
    Snapshot s{model_, system_, analysed_, turningPoints_, {}, cursor_, options_, view_};
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

    const Coefficients setNow = coefficients();
    const double before[] = {setBefore.A, setBefore.B, setBefore.C, setBefore.D, setBefore.E, setBefore.F};
    const double now[] = {setNow.A, setNow.B, setNow.C, setNow.D, setNow.E, setNow.F};
    for (int index = 0; index < 6; ++index)
        if (std::bit_cast<std::uint64_t>(before[index]) != std::bit_cast<std::uint64_t>(now[index]))
            emit coefficientChanged(index, now[index]);
    for (std::size_t i = 0; i < kOptionCount; ++i)
        if (optionsBefore[i] != options_[i])
            emit optionChanged(Option(i), options_[i]);
    // In the order a recomputation says it: the kept trajectories, then the new one.
    emit keptTrajectoriesChanged();
    if (trajectoryChanged)
        emit recomputed(!(systemBefore.coefficients == system_.coefficients), systemBefore.dt != system_.dt);
    if (!(viewBefore == view_))
        emit viewChanged();
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
