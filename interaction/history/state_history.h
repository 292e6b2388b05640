#pragma once

#include "state/explorer_state.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUndoStack>

#include <array>
#include <functional>

class QLineEdit;

// The window's changes of the state, to take back and to do again. Whatever a user changes
// (a coefficient, the initial point, the span, an example, an opened scenario, the kept
// trajectories, an option, the view) is one step, recorded once it has settled: at the end of
// the event that made it, or at the end of a gesture that recomputes at each of its steps.
// Moving the time cursor alone is no step; a step taken back puts the cursor back too.
// Steps that only move the view, one after another, are one step. Nothing is remembered
// between runs.
class StateHistory : public QObject {
    Q_OBJECT

public:
    static constexpr int kLimit = 200;

    // The boxes whose texts the steps take back with the trajectory: XI, YI and the span's.
    // optionName gives the name of an option as its action shows it.
    StateHistory(ExplorerState &state, std::array<QLineEdit *, 3> boxes,
                 std::function<QString(ExplorerState::Option)> optionName, QObject *parent = nullptr);

    // Forgets every step: what the state holds now is where the history begins.
    void startAfresh();
    // The change being made, or about to be, is recorded under this name, whatever it changes.
    void nameNextChange(const QString &name);
    // Records a change that has settled now, without waiting for the end of the event.
    void settle();

    void undo();
    void redo();
    const QUndoStack &stack() const { return stack_; }
    // Whether undo has something to take back: a step, or a change not recorded yet.
    bool canUndo() const { return pending_ || stack_.canUndo(); }

signals:
    void canUndoChanged(bool can);

public:

    // What the state and the boxes hold at one moment.
    struct Moment {
        ExplorerState::Snapshot state;
        QStringList texts;
    };
    // The name of the change from one moment to another, as "Deshacer: …" shows it; empty
    // when nothing but the cursor (or the boxes' texts) changed.
    static QString changeName(const Moment &before, const Moment &after,
                              const std::function<QString(ExplorerState::Option)> &optionName);

private:
    class Step;

    Moment now() const;
    void changed();
    void restore(const Moment &moment, bool withTexts);

    ExplorerState &state_;
    std::array<QLineEdit *, 3> boxes_;
    std::function<QString(ExplorerState::Option)> optionName_;
    QUndoStack stack_;
    Moment settled_;   // as the last step left it, with the cursor where it stands now
    QString nextName_;
    void setPending(bool pending);

    bool pending_ = false;
    bool restoring_ = false;
};
