// The monkey's use of the options over the designed window: overlays, the legend, kept
// trajectories, turning points and joined samples turned on and off, drags in the phase
// plane, the keys that move between turning points, and undo followed by redo.
#include "tests/monkey/monkey.h"

#include "display/plots/plot_surface.h"
#include "interaction/prog.h"
#include "tests/exact_state.h"
#include "tests/monkey/window_checks.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

namespace monkey {

namespace {

constexpr const char *kOptions[] = {"isoclinas", "equilibrios", "campo", "escalas", "leyenda", "separatrices",
                                    "conservar", "extremos", "unirPuntos"};

QAction *action(const Prog &window, const char *name)
{
    return window.findChild<QAction *>(QString::fromLatin1(name));
}


} // namespace

// An option on or off, by its key or from code, or the kept trajectories cleared: the
// trajectory, the coefficients and the cursor stay as they were.
QString Monkey::toggleOption()
{
    const bool clear = random_.bounded(8) == 0;
    QAction *option = action(window_, clear ? "borrarTrayectorias" : kOptions[random_.bounded(int(std::size(kOptions)))]);
    const bool byKey = random_.bounded(2) == 0;
    log(QStringLiteral("%1 %2").arg(byKey ? "key of" : "trigger", option->objectName()));
    if (byKey) {
        window_.activateWindow();
        window_.setFocus();
        QTest::keySequence(&window_, option->shortcut());
    } else {
        option->trigger();
    }
    const Model &m = window_.model;
    if (!sameTrajectory(m, before_) || !sameCoefficients(m, before_) || m.dt != before_.dt
        || window_.HScroll1->value() != cursorBefore_)
        return QStringLiteral("%1 changed the state").arg(option->objectName());
    if (window_.state().keptTrajectories().size() > ExplorerState::kMaxKept)
        return QStringLiteral("%1 trajectories kept").arg(window_.state().keptTrajectories().size());
    if (!action(window_, "conservar")->isChecked() && !window_.state().keptTrajectories().empty())
        return QStringLiteral("trajectories kept while the option is off");
    return {};
}

// Undo, by its key or from code, then redo: the state and the boxes are back to the last bit.
QString Monkey::undoThenRedo()
{
    QAction *undo = action(window_, "deshacer");
    QAction *redo = action(window_, "rehacer");
    QCoreApplication::processEvents();   // the last change settles into a step
    if (!undo->isEnabled())
        return {};
    const QByteArray now = exactState(window_);
    const bool byKey = random_.bounded(2) == 0;
    log(QStringLiteral("%1 then redo (%2)").arg(undo->text(), byKey ? "keys" : "triggered"));
    if (byKey) {
        // The window's keys act only while it is the active one.
        QApplication::setActiveWindow(&window_);
        window_.setFocus();
        QTest::keySequence(&window_, undo->shortcut());
    } else {
        undo->trigger();
    }
    if (exactState(window_) == now)
        return QStringLiteral("undo changed nothing");
    if (!redo->isEnabled())
        return QStringLiteral("nothing to redo after undo");
    if (byKey)
        QTest::keySequence(&window_, redo->shortcuts().value(random_.bounded(2)));
    else
        redo->trigger();
    if (exactState(window_) != now)
        return QStringLiteral("undo and redo did not give the state back");
    return {};
}

// A drag across the phase plane with the left button: the point follows the pointer, and the
// release point is the last initial point.
QString Monkey::dragPhasePlane()
{
    PlotSurface *plot = window_.XYgraf;
    const QRect area = plot->contentsRect();
    const QPoint start = area.topLeft() + QPoint(random_.bounded(area.width()), random_.bounded(area.height()));
    const QPoint end = area.topLeft() + QPoint(random_.bounded(area.width()), random_.bounded(area.height()));
    const std::size_t keptBefore = window_.state().keptTrajectories().size();
    log(QStringLiteral("drag in XYgraf from (%1, %2) to (%3, %4)").arg(start.x()).arg(start.y()).arg(end.x()).arg(end.y()));
    const bool holdsLegend = onLegend(start);
    QTest::mousePress(plot, Qt::LeftButton, {}, start);
    for (int step = 1; step <= 4; ++step) {
        const QPointF at = QPointF(start) + QPointF(end - start) * (step / 4.0);
        QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(plot, &move);
        QCoreApplication::processEvents();   // moves may coalesce; the release point is last
    }
    QTest::mouseRelease(plot, Qt::LeftButton, {}, end);
    if (holdsLegend)
        return legendHeldFault();
    noteCursorMoved();
    if (window_.HScroll1->value() != 0)
        return QStringLiteral("the time cursor stands at %1 after a drag").arg(window_.HScroll1->value());
    // The press keeps one trajectory and the drag at most one more.
    if (window_.state().keptTrajectories().size() > std::min(keptBefore + 2, ExplorerState::kMaxKept))
        return QStringLiteral("a drag kept %1 trajectories").arg(window_.state().keptTrajectories().size() - keptBefore);
    // A pointer that never went as far as the drag distance made a press, not a drag.
    const bool dragged = (end - start).manhattanLength() >= QApplication::startDragDistance();
    return pressedPointFault(dragged ? end : start, {});
}

// Ctrl+Right or Ctrl+Left: with the marks shown, the cursor goes to the next or previous
// turning point, or stays when there is none; without them, nothing moves between points.
QString Monkey::moveToTurningPoint()
{
    const bool forwards = random_.bounded(2) == 0;
    QAction *move = action(window_, forwards ? "siguienteExtremo" : "anteriorExtremo");
    log(QStringLiteral("%1 with the marks %2").arg(move->objectName(), move->isEnabled() ? "shown" : "hidden"));
    if (!move->isEnabled())
        return {};
    move->trigger();
    int expected = cursorBefore_;
    const auto &points = window_.state().turningPoints();
    for (const TurningPoint &p : points)
        if (forwards ? p.sample > cursorBefore_ && (expected == cursorBefore_ || p.sample < expected)
                     : p.sample < cursorBefore_ && (expected == cursorBefore_ || p.sample > expected))
            expected = p.sample;
    if (window_.HScroll1->value() != expected)
        return QStringLiteral("the cursor went to %1, the turning point is at %2").arg(window_.HScroll1->value()).arg(expected);
    if (!sameTrajectory(window_.model, before_))
        return QStringLiteral("moving to a turning point changed the trajectory");
    return {};
}

void Monkey::turnOptionsOff()
{
    // Every option, also those a key typed in a read-out box may have turned on.
    for (QAction *option : window_.findChildren<QAction *>())
        if (option->isCheckable())
            option->setChecked(false);
}

} // namespace monkey
