#pragma once

#include "model/model.h"
#include "tests/monkey/text_source.h"

#include <QObject>
#include <QRandomGenerator>
#include <QString>
#include <QStyle>
#include <QTimer>

#include <deque>
#include <optional>

class Prog;
class QWidget;

namespace monkey {

// Acts on a real window as a careless user would, one random action at a time, drawn from a
// seeded generator so that a run can be replayed, and checks the window after each action.
class Monkey {
public:
    Monkey(Prog &window, quint64 seed, QChar decimal);

    // Runs one random action and checks everything: the fault found, or an empty text.
    QString step(int number);

    // The last few actions, for the failure report.
    QString recentActions() const;

    // Turns off every option over the designed window, whose drawing the pixel check knows.
    void turnOptionsOff();

private:
    // What the read-outs must show: sample c and the time step when the cursor last moved.
    struct Readout {
        int cursor;
        double dt, x, y;
    };

    struct DialogAnswer {
        QString text;
        bool accept;
        int how;  // which button or key closes the dialog
    };

    struct DialogSeen {
        QString title, prompt, offered;
    };

    QString randomAction();
    QString pressPhasePlane();
    QString pressElsewhere();
    QString editCoefficient();
    QString typeIntoBox();
    QString pressCalcular();
    QString moveCursor();
    // option_moves.cpp
    QString toggleOption();
    QString dragPhasePlane();
    QString moveToTurningPoint();
    QString undoThenRedo();
    QString pressedPointFault(QPoint at, Qt::KeyboardModifiers modifiers) const;
    // Whether a left press at `at` (pixels of the phase plane widget) takes hold of the legend.
    bool onLegend(QPoint at) const;
    // After a press or a drag that took hold of the legend: nothing else changed.
    QString legendHeldFault() const;
    QString invariantFault() const;
    QString readoutFault() const;
    void handleModal();
    void noteCursorMoved();
    void log(const QString &what);
    Qt::KeyboardModifiers randomModifiers();
    Qt::MouseButton randomButton();
    QPoint randomPointIn(const QWidget *widget);
    QPoint scrollBarPart(QStyle::SubControl part);

    QObject context_;  // ends the connections with the monkey
    Prog &window_;
    QRandomGenerator random_;
    TextSource texts_;
    QTimer modalWatcher_;
    std::optional<DialogAnswer> pendingAnswer_;
    std::optional<DialogSeen> dialogSeen_;
    QString unexpectedModal_;
    Readout readout_{};
    Model before_;
    int cursorBefore_ = 0;
    bool legendBefore_ = false;   // the press being checked took hold of the legend
    std::deque<QString> recent_;
};

} // namespace monkey
