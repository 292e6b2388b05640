#include "interaction/history/state_history.h"

#include "display/toolkit/text_box.h"

#include <QLineEdit>
#include <QTimer>
#include <QUndoCommand>

#include <bit>
#include <cstdint>

namespace {

using Moment = StateHistory::Moment;

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The coefficients set, A to F.
std::array<double, 6> coefficientsSet(const Model &m)
{
    return {m.A, m.B, m.C, m.D, m.E, m.F};
}

bool sameTrajectory(const ExplorerState::Snapshot &a, const ExplorerState::Snapshot &b)
{
    const Model &m = a.model, &n = b.model;
    for (int k = kFirstSample; k <= kLastSample; ++k)
        if (m.ok(k) != n.ok(k) || !sameBits(m.xs(k), n.xs(k)) || !sameBits(m.ys(k), n.ys(k)))
            return false;
    return bitIdentical(a.system.coefficients, b.system.coefficients) && sameBits(a.system.dt, b.system.dt);
}

bool sameKept(const ExplorerState::Snapshot &a, const ExplorerState::Snapshot &b)
{
    if (a.kept.size() != b.kept.size())
        return false;
    for (std::size_t i = 0; i < a.kept.size(); ++i)
        if (!sameInputs(a.kept[i], b.kept[i]))
            return false;
    return true;
}

bool sameView(const PlaneView &a, const PlaneView &b)
{
    return sameBits(a.left, b.left) && sameBits(a.bottom, b.bottom) && sameBits(a.side, b.side);
}

bool sameEcology(const ExplorerState::Snapshot &a, const ExplorerState::Snapshot &b)
{
    if (a.ecologicalForm != b.ecologicalForm || a.ecology.has_value() != b.ecology.has_value())
        return false;
    if (!a.ecology)
        return true;
    for (std::size_t i = 0; i < a.ecology->values.size(); ++i)
        if (!sameBits(a.ecology->values[i], b.ecology->values[i]))
            return false;
    return true;
}

// The one parameter typed between two moments of the same form, or -1: «cambiar K₂» rather than
// the coefficients it moved.
int typedParameter(const ExplorerState::Snapshot &s, const ExplorerState::Snapshot &t)
{
    if (!t.ecologyTyped || !s.ecology || !t.ecology || s.ecology->form != t.ecology->form)
        return -1;
    int changed = -1;
    for (int i = 0; i < t.ecology->count(); ++i)
        if (!sameBits(s.ecology->values[std::size_t(i)], t.ecology->values[std::size_t(i)])) {
            if (changed >= 0)
                return -1;
            changed = i;
        }
    return changed;
}

// Whether two moments are the same but for the view (the cursor and the boxes' texts aside).
bool sameBesidesView(const Moment &a, const Moment &b)
{
    const auto &s = a.state, &t = b.state;
    const auto k = coefficientsSet(s.model), l = coefficientsSet(t.model);
    for (int i = 0; i < 6; ++i)
        if (!sameBits(k[i], l[i]))
            return false;
    return sameBits(s.model.dt, t.model.dt) && sameTrajectory(s, t) && sameKept(s, t) && s.options == t.options
           && sameEcology(s, t) && s.observations == t.observations;
}

} // namespace

// One step: the moments before and after it. Made once the change is done, so its first redo
// does nothing.
class StateHistory::Step : public QUndoCommand {
public:
    Step(StateHistory &history, const QString &name, Moment before, Moment after)
        : QUndoCommand(name), history_(history), before_(std::move(before)), after_(std::move(after)),
          viewOnly_(sameBesidesView(before_, after_))
    {
    }

    void undo() override
    {
        // What moved since and no step records, the cursor and the boxes' texts, is where redo
        // puts it back.
        Moment current = history_.now();
        after_.state.cursor = current.state.cursor;
        after_.texts = std::move(current.texts);
        history_.restore(before_, before_.texts != after_.texts);
    }
    void redo() override
    {
        if (!std::exchange(done_, false))
            history_.restore(after_, before_.texts != after_.texts);
    }

    int id() const override { return viewOnly_ ? 1 : -1; }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const Step *>(other);
        after_ = next->after_;
        setObsolete(sameView(before_.state.view, after_.state.view) && before_.texts == after_.texts);
        return true;
    }

private:
    StateHistory &history_;
    Moment before_, after_;
    bool viewOnly_;
    bool done_ = true;
};

StateHistory::StateHistory(ExplorerState &state, std::array<QLineEdit *, 3> boxes,
                           std::function<QString(ExplorerState::Option)> optionName, QObject *parent)
    : QObject(parent), state_(state), boxes_(boxes), optionName_(std::move(optionName))
{
    stack_.setUndoLimit(kLimit);
    connect(&stack_, &QUndoStack::canUndoChanged, this, [this] { emit canUndoChanged(canUndo()); });
    connect(&state_, &ExplorerState::coefficientChanged, this, &StateHistory::changed);
    connect(&state_, &ExplorerState::ecologyChanged, this, &StateHistory::changed);
    connect(&state_, &ExplorerState::recomputed, this, &StateHistory::changed);
    connect(&state_, &ExplorerState::keptTrajectoriesChanged, this, &StateHistory::changed);
    connect(&state_, &ExplorerState::optionChanged, this, &StateHistory::changed);
    connect(&state_, &ExplorerState::viewChanged, this, &StateHistory::changed);
    connect(&state_, &ExplorerState::observationsChanged, this, &StateHistory::changed);
    connect(&state_, &ExplorerState::continuousChangeEnded, this, &StateHistory::settle);
    // The cursor is no step, but a step taken back finds it where it stood before the step.
    connect(&state_, &ExplorerState::cursorMoved, this, [this](int sample) {
        if (!pending_ && !restoring_)
            settled_.state.cursor = sample;
    });
    settled_ = now();
}

StateHistory::Moment StateHistory::now() const
{
    QStringList texts;
    for (const QLineEdit *box : boxes_)
        texts << box->text();
    return {state_.snapshot(), texts};
}

void StateHistory::setPending(bool pending)
{
    const bool could = canUndo();
    pending_ = pending;
    if (canUndo() != could)
        emit canUndoChanged(canUndo());
}

void StateHistory::startAfresh()
{
    stack_.clear();
    setPending(false);
    nextName_.clear();
    settled_ = now();
}

void StateHistory::nameNextChange(const QString &name)
{
    nextName_ = name;
}

// A change is recorded when the event that made it is over, or its gesture is.
void StateHistory::changed()
{
    if (restoring_ || pending_)
        return;
    setPending(true);
    QTimer::singleShot(0, this, [this] {
        if (!state_.changing())
            settle();
    });
}

void StateHistory::settle()
{
    if (!pending_)
        return;
    Moment after = now();
    const QString name = nextName_.isEmpty() ? changeName(settled_, after, optionName_) : nextName_;
    nextName_.clear();
    if (!name.isEmpty())
        stack_.push(new Step(*this, name, settled_, after));
    settled_ = std::move(after);
    setPending(false);
}

// Not in the middle of a drag, which goes on after it: only once it has ended, as one step.
void StateHistory::undo()
{
    if (state_.changing())
        return;
    settle();
    stack_.undo();
}

void StateHistory::redo()
{
    if (state_.changing())
        return;
    settle();
    stack_.redo();
}

void StateHistory::restore(const Moment &moment, bool withTexts)
{
    restoring_ = true;
    if (withTexts)
        for (std::size_t i = 0; i < boxes_.size(); ++i)
            if (boxes_[i]->text() != moment.texts[i])
                writeText(boxes_[i], moment.texts[i]);
    state_.restore(moment.state);
    restoring_ = false;
    settled_ = now();
}

QString StateHistory::changeName(const Moment &before, const Moment &after,
                                 const std::function<QString(ExplorerState::Option)> &optionName)
{
    const auto &s = before.state, &t = after.state;
    const auto k = coefficientsSet(s.model), l = coefficientsSet(t.model);
    if (const int typed = typedParameter(s, t); typed >= 0)
        return QStringLiteral("cambiar %1").arg(QString::fromUtf8(parametersOf(t.ecology->form)[std::size_t(typed)].symbol));
    int changedCoefficients = 0, lastChanged = 0;
    for (int i = 0; i < 6; ++i)
        if (!sameBits(k[i], l[i])) {
            ++changedCoefficients;
            lastChanged = i;
        }
    if (changedCoefficients == 1)
        return QStringLiteral("cambiar %1").arg(QChar(u'A' + lastChanged));
    if (changedCoefficients > 1)
        return QStringLiteral("cambiar los coeficientes");
    if (s.ecologicalForm != t.ecologicalForm)
        return QStringLiteral("cambiar la forma ecológica");
    if (!sameBits(s.model.xs(0), t.model.xs(0)) || !sameBits(s.model.ys(0), t.model.ys(0)))
        return QStringLiteral("nuevo punto inicial");
    if (!sameBits(s.model.dt, t.model.dt))
        return QStringLiteral("cambiar el intervalo de tiempo");
    if (!sameTrajectory(s, t))
        return QStringLiteral("calcular");
    int changedOptions = 0;
    QString option;
    for (std::size_t i = 0; i < ExplorerState::kOptionCount; ++i)
        if (s.options[i] != t.options[i]) {
            ++changedOptions;
            option = QStringLiteral("%1 «%2»").arg(t.options[i] ? QStringLiteral("activar") : QStringLiteral("desactivar"),
                                                   optionName(ExplorerState::Option(i)));
        }
    if (changedOptions == 1)
        return option;
    if (changedOptions > 1)
        return QStringLiteral("cambiar las opciones");
    if (!sameKept(s, t))
        return t.kept.empty() ? QStringLiteral("borrar trayectorias") : QStringLiteral("cambiar las trayectorias conservadas");
    if (!sameView(s.view, t.view))
        return QStringLiteral("cambiar la vista");
    if (s.observations != t.observations) {
        if (s.observations && t.observations && s.observations->observed == t.observations->observed)
            return QStringLiteral("cambiar la unidad de los datos");
        return t.observations ? QStringLiteral("abrir datos") : QStringLiteral("quitar datos");
    }
    return {};
}
