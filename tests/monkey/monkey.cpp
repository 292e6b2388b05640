#include "tests/monkey/monkey.h"

#include "display/plots/plot_mapping.h"
#include "display/plots/plot_surface.h"
#include "display/toolkit/conversions.h"
#include "display/views/plot_views.h"
#include "interaction/prog.h"
#include "tests/monkey/window_checks.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <cmath>
#include <iterator>

namespace monkey {

namespace {

constexpr int kPlotCheckEvery = 100;

} // namespace

Monkey::Monkey(Prog &window, quint64 seed, QChar decimal)
    : window_(window), random_(seed), texts_(random_, decimal)
{
    QObject::connect(&modalWatcher_, &QTimer::timeout, &context_, [this] { handleModal(); });
    modalWatcher_.start(0);
    // Connected after the window's own handlers, so it sees what they wrote.
    QObject::connect(window_.HScroll1, &QScrollBar::valueChanged, &context_, [this] { noteCursorMoved(); });
    noteCursorMoved();  // at start-up the designed texts show sample 0
}

QString Monkey::step(int number)
{
    // A key R typed where the window's actions reach it plays the time cursor, which then moves
    // by itself: each action starts from a still cursor.
    if (auto *play = window_.findChild<QAction *>(QStringLiteral("reproducir")); play && play->isChecked()) {
        log(QStringLiteral("playing paused"));
        play->setChecked(false);
    }
    before_ = window_.model;
    cursorBefore_ = window_.HScroll1->value();
    QString fault = randomAction();
    if (!unexpectedModal_.isEmpty())  // a failure message explains what followed it
        return unexpectedModal_ + (fault.isEmpty() ? QString() : QStringLiteral("; then: ") + fault);
    if (fault.isEmpty())
        fault = invariantFault();
    if (fault.isEmpty() && number % kPlotCheckEvery == 0) {
        // The pixel check knows the designed drawing: every option goes off for it first.
        turnOptionsOff();
        fault = plotFault(window_);
    }
    return fault;
}

QString Monkey::recentActions() const
{
    QStringList lines;
    for (const QString &line : recent_)
        lines << QStringLiteral("    ") + line;
    return lines.join(u'\n');
}

void Monkey::log(const QString &what)
{
    recent_.push_back(what);
    if (recent_.size() > 6)
        recent_.pop_front();
}

Qt::KeyboardModifiers Monkey::randomModifiers()
{
    Qt::KeyboardModifiers modifiers;
    for (Qt::KeyboardModifier m : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier, Qt::MetaModifier})
        if (random_.bounded(3) == 0)
            modifiers |= m;
    if (random_.bounded(2) == 0)  // Shift alone is the one combination that snaps
        modifiers = Qt::ShiftModifier;
    return modifiers;
}

Qt::MouseButton Monkey::randomButton()
{
    static const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::LeftButton, Qt::RightButton, Qt::MiddleButton,
                                              Qt::BackButton, Qt::ForwardButton};
    return buttons[random_.bounded(int(std::size(buttons)))];
}

QPoint Monkey::randomPointIn(const QWidget *widget)
{
    return QPoint(random_.bounded(widget->width()), random_.bounded(widget->height()));
}

void Monkey::noteCursorMoved()
{
    const int c = window_.HScroll1->value();
    readout_ = {c, window_.model.dt, window_.model.xs(c), window_.model.ys(c)};
}

QString Monkey::randomAction()
{
    const int roll = random_.bounded(100);
    if (roll < 16)
        return pressPhasePlane();
    if (roll < 22)
        return pressElsewhere();
    if (roll < 32)
        return editCoefficient();
    if (roll < 56)
        return typeIntoBox();
    if (roll < 66)
        return pressCalcular();
    if (roll < 72)
        return toggleOption();
    if (roll < 75)
        return dragPhasePlane();
    if (roll < 78)
        return moveToTurningPoint();
    if (roll < 82)
        return undoThenRedo();
    return moveCursor();
}

// A press (or a double click) anywhere in the phase plane, border included: the pressed point
// becomes the initial point, within the pixel pressed, and is recomputed from there; the
// read-outs then show sample 0 of the new trajectory. A press on the border does nothing.
QString Monkey::pressPhasePlane()
{
    PlotSurface *plot = window_.XYgraf;
    const QPoint at = randomPointIn(plot);
    const Qt::MouseButton button = randomButton();
    const Qt::KeyboardModifiers modifiers = randomModifiers();
    const bool twice = random_.bounded(8) == 0;
    log(QStringLiteral("%1 in XYgraf at (%2, %3), button %4, modifiers %5")
            .arg(twice ? "double click" : "press").arg(at.x()).arg(at.y()).arg(int(button)).arg(int(modifiers)));
    legendBefore_ = onLegend(at);
    if (twice)
        QTest::mouseDClick(plot, button, modifiers, at);
    else
        QTest::mouseClick(plot, button, modifiers, at);

    const Model &m = window_.model;
    if (!sameCoefficients(m, before_) || m.dt != before_.dt)
        return QStringLiteral("a press changed the coefficients or dt");
    if (button == Qt::LeftButton && legendBefore_)
        return legendHeldFault();
    if (!plot->contentsRect().contains(at)) {
        if (!sameTrajectory(m, before_) || window_.HScroll1->value() != cursorBefore_)
            return QStringLiteral("a press on the border changed the state");
        return {};
    }
    noteCursorMoved();
    if (window_.HScroll1->value() != 0)
        return QStringLiteral("the time cursor stands at %1 after a press").arg(window_.HScroll1->value());

    return pressedPointFault(at, modifiers);
}

bool Monkey::onLegend(QPoint at) const
{
    const auto *views = window_.findChild<PlotViews *>();
    const std::optional<LegendPlace> legend = views ? views->legendPlace() : std::nullopt;
    return legend && legend->rect.contains(QPointF(at - window_.XYgraf->contentsRect().topLeft()));
}

QString Monkey::legendHeldFault() const
{
    if (!sameTrajectory(window_.model, before_) || window_.HScroll1->value() != cursorBefore_)
        return QStringLiteral("a press on the legend changed the trajectory or the cursor");
    return {};
}

// XI and YI show sample 0, a point inside the pixel pressed at `at` (snapped onto an axis with
// Shift alone, near it).
QString Monkey::pressedPointFault(QPoint at, Qt::KeyboardModifiers modifiers) const
{
    const PlotSurface *plot = window_.XYgraf;
    const Model &m = window_.model;
    // The pressed pixel covers [start, start + 15) twips of the drawing area on each axis.
    const QPoint inArea = at - plot->contentsRect().topLeft();
    const bool snapping = modifiers & Qt::ShiftModifier && !(modifiers & (Qt::ControlModifier | Qt::AltModifier));
    struct Axis {
        QLineEdit *box;
        double start;   // twips from the axis at the pixel's edge nearest to the origin side
        double sample;
    };
    // In the window's view, which a key typed in a read-out box may have moved.
    const plot_mapping::PlotMapping shown = plot_mapping::mappingFor(window_.state().view());
    const double unit = shown.phaseStep;
    const double x0 = inArea.x() * 15.0 - shown.phaseOriginX, y0 = shown.phaseOriginY - inArea.y() * 15.0;
    const Axis axes[] = {{window_.XI, x0, m.xs(0)}, {window_.YI, y0, m.ys(0)}};
    for (const Axis &axis : axes) {
        const std::optional<double> value = tryNumber(axis.box->text());
        if (!value)
            return QStringLiteral("%1 holds \"%2\" after a press").arg(axis.box->objectName(), axis.box->text());
        if (*value != axis.sample)
            return QStringLiteral("sample 0 is %1, %2 shows %3").arg(axis.sample).arg(axis.box->objectName()).arg(*value);
        // x grows with the position, y falls: the pixel spans these offsets from the axis.
        const double low = axis.box == window_.XI ? axis.start : axis.start - 15;
        const double high = low + 15;
        const bool wholePixelNear = low > -80 && high < 80;
        const bool wholePixelFar = high <= -80 || low >= 80;
        if (snapping && wholePixelNear && *value != 0)
            return QStringLiteral("%1 shows %2 for a press with Shift near the axis").arg(axis.box->objectName()).arg(*value);
        if (snapping && !wholePixelFar && *value == 0)
            continue;
        // Single precision: the pixel's offsets and the origin's position each round to a float.
        const double origin = axis.box == window_.XI ? shown.phaseOriginX : shown.phaseOriginY;
        const double tolerance = 1e-6 * (std::max(std::fabs(low), std::fabs(high)) + std::fabs(origin)) / unit;
        if (*value < low / unit - tolerance || *value > high / unit + tolerance)
            return QStringLiteral("%1 shows %2, outside the pressed pixel [%3, %4]")
                .arg(axis.box->objectName()).arg(*value).arg(low / unit).arg(high / unit);
    }
    return {};
}

// A left press in a time plot's drawing area moves the time cursor to the sample whose dot
// stands nearest to the pressed column; other presses there and on the plain labels do nothing.
QString Monkey::pressElsewhere()
{
    QWidget *targets[] = {window_.Xgraf, window_.Ygraf, window_.Label1[random_.bounded(12)]};
    QWidget *target = targets[random_.bounded(3)];
    const QPoint at = randomPointIn(target);
    const Qt::MouseButton button = randomButton();
    const Qt::KeyboardModifiers modifiers = randomModifiers();
    log(QStringLiteral("press in %1 at (%2, %3), button %4, modifiers %5")
            .arg(target->objectName()).arg(at.x()).arg(at.y()).arg(int(button)).arg(int(modifiers)));
    QTest::mouseClick(target, button, modifiers, at);

    int cursorAfter = cursorBefore_;
    auto *plot = qobject_cast<PlotSurface *>(target);
    if (plot && button == Qt::LeftButton && plot->contentsRect().contains(at)) {
        const double column = at.x() - plot->contentsRect().left() + 0.5;
        cursorAfter = std::clamp(int(std::lround((column * 15 - 2060) / 20)), kFirstSample, kLastSample);
    }
    const Model &m = window_.model;
    if (!sameTrajectory(m, before_) || !sameCoefficients(m, before_) || m.dt != before_.dt
        || window_.HScroll1->value() != cursorAfter)
        return QStringLiteral("a press in %1 changed the state").arg(target->objectName());
    return {};
}

// Random text typed, pasted or deleted in one of the six boxes; Return presses nothing.
QString Monkey::typeIntoBox()
{
    QLineEdit *boxes[] = {window_.XI, window_.YI, window_.Text2, window_.TR, window_.XR, window_.YR};
    QLineEdit *box = boxes[random_.bounded(6)];
    const QString text = box == window_.Text2 ? texts_.span()
                         : box == window_.XI || box == window_.YI ? texts_.coordinate()
                                                                   : texts_.any();
    // The read-outs are read-only: only keys reach them, and they must change nothing.
    const QString readOutBefore = box->text();
    const int how = box == window_.TR || box == window_.XR || box == window_.YR ? 2 * random_.bounded(2)
                                                                              : random_.bounded(5);
    log(QStringLiteral("type \"%1\" into %2 (way %3)").arg(text, box->objectName()).arg(how));
    box->setFocus();
    switch (how) {
    case 0:  // replace by typing, where the keys exist
        box->selectAll();
        for (QChar c : text) {
            if (c.unicode() >= 0x20 && c.unicode() < 0x7f)
                QTest::keyClick(box, c.toLatin1());
            else if (!box->isReadOnly())   // as pasted, which a read-only box refuses
                box->insert(QString(c));
        }
        break;
    case 1:  // append
        box->end(false);
        box->insert(text);
        break;
    case 2:  // delete some characters
        for (int i = random_.bounded(1, 6); i > 0; --i)
            QTest::keyClick(box, Qt::Key_Backspace);
        break;
    case 3:  // select all and type, then Return
        box->selectAll();
        box->insert(text);
        QTest::keyClick(box, Qt::Key_Return);
        break;
    default:
        box->setText(text);
        break;
    }
    const bool readOut = box == window_.TR || box == window_.XR || box == window_.YR;
    if (readOut && box->text() != readOutBefore)
        return QStringLiteral("typing changed the read-out %1").arg(box->objectName());

    const Model &m = window_.model;
    if (!sameTrajectory(m, before_) || !sameCoefficients(m, before_) || m.dt != before_.dt
        || window_.HScroll1->value() != cursorBefore_)
        return QStringLiteral("typing into %1 changed the state").arg(box->objectName());
    return {};
}

// Calcular, by mouse or keyboard: a span above 0 sets dt to its hundredth and recomputes;
// 0 or less, or a text that is no number, writes back the span in force. A point that is not
// two numbers leaves the trajectory as it was; the read-outs show sample 0 afterwards.
QString Monkey::pressCalcular()
{
    const QString span = window_.Text2->text();
    const std::optional<double> typedX = tryNumber(window_.XI->text());
    const std::optional<double> typedY = tryNumber(window_.YI->text());
    const bool byKey = random_.bounded(4) == 0;
    log(QStringLiteral("Calcular by %1 with Text2 \"%2\", XI \"%3\", YI \"%4\"")
            .arg(byKey ? "Space" : "mouse", span, window_.XI->text(), window_.YI->text()));
    if (byKey)
        QTest::keyClick(window_.Calcular, Qt::Key_Space);
    else
        QTest::mouseClick(window_.Calcular, Qt::LeftButton);

    const Model &m = window_.model;
    if (!sameCoefficients(m, before_))
        return QStringLiteral("Calcular changed a coefficient");
    const std::optional<double> v = tryNumber(span);
    if (v && Model::isUsableSpan(*v)) {
        if (m.dt != *v / 100)
            return QStringLiteral("dt is %1 after the span %2").arg(m.dt, 0, 'g', 17).arg(*v, 0, 'g', 17);
        if (window_.Text2->text() != textOf(*v))
            return QStringLiteral("Text2 shows \"%1\" after the span %2").arg(window_.Text2->text()).arg(*v);
        if (window_.HScroll1->value() != 0)
            return QStringLiteral("the cursor stands at %1 after Calcular").arg(window_.HScroll1->value());
        noteCursorMoved();
        if (!(typedX && typedY))
            return sameTrajectory(m, before_) ? QString() : QStringLiteral("a point that is no number changed the trajectory");
        if (m.xs(0) != *typedX)
            return QStringLiteral("xs(0) is %1, XI shows %2").arg(m.xs(0)).arg(*typedX);
        if (m.ys(0) != *typedY)
            return QStringLiteral("ys(0) is %1, YI shows %2").arg(m.ys(0)).arg(*typedY);
        return {};
    }
    if (m.dt != before_.dt || !sameTrajectory(m, before_) || window_.HScroll1->value() != cursorBefore_)
        return QStringLiteral("Calcular with the span \"%1\" changed the state").arg(span);
    const QString expected = textOf(before_.dt * 100);
    if (window_.Text2->text() != expected)
        return QStringLiteral("Text2 shows \"%1\" after \"%2\", expected \"%3\"").arg(window_.Text2->text(), span, expected);
    return {};
}

// What must hold after every action.
QString Monkey::invariantFault() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return QStringLiteral("a modal window is open: %1").arg(modal->windowTitle());
    if (!window_.isVisible())
        return QStringLiteral("the window is gone");

    const Model &m = window_.model;
    for (int i = 0; i < 6; ++i)
        if (!std::isfinite(coefficient(m, i)))
            return QStringLiteral("coefficient %1 is %2").arg(i).arg(coefficient(m, i));
    if (!std::isfinite(m.dt) || m.dt < 0)
        return QStringLiteral("dt is %1").arg(m.dt);
    if (const QString fault = trajectoryFault(m); !fault.isEmpty())
        return fault;

    const int c = window_.HScroll1->value();
    if (c < kFirstSample || c > kLastSample)
        return QStringLiteral("the cursor stands at %1").arg(c);
    for (const PlotSurface *plot : {window_.XYgraf, window_.Xgraf, window_.Ygraf})
        if (plot->drawWidth() != 1)
            return QStringLiteral("%1 keeps pen width %2").arg(plot->objectName()).arg(plot->drawWidth());

    return readoutFault();
}

// The read-outs show the time and the values, rounded to 3 decimals, of the sample under the
// cursor when it last moved or the trajectory was last recomputed.
QString Monkey::readoutFault() const
{
    const Readout &r = readout_;
    const double time = static_cast<double>(r.cursor) * r.dt;
    if (!shows(window_.TR->text(), time, 0))
        return QStringLiteral("TR shows \"%1\" for the time %2").arg(window_.TR->text()).arg(time);
    if (!shows(window_.XR->text(), r.x, 0.0005))
        return QStringLiteral("XR shows \"%1\" for x = %2").arg(window_.XR->text()).arg(r.x, 0, 'g', 17);
    if (!shows(window_.YR->text(), r.y, 0.0005))
        return QStringLiteral("YR shows \"%1\" for y = %2").arg(window_.YR->text()).arg(r.y, 0, 'g', 17);
    return {};
}

} // namespace monkey
