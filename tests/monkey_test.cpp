// A monkey test of the whole window: a seeded, reproducible sequence of random user actions on
// a real window (presses in the plots with any button and modifiers, coefficient edits with
// the dialog answered by random text or cancelled, random text in every box, Calcular, the
// time cursor moved by keys, code, actions, clicks, the wheel and drags), with the program's
// rules checked after every action and the plots compared pixel for pixel on a sample of steps.
//
// A failure names the seed and the action. To replay it:
//   LV_MONKEY_SEED=<seed> LV_MONKEY_ACTIONS=<action + 1> monkey_test "randomActions:<row>"
#include "clickable_label.h"
#include "conversions.h"
#include "failure.h"
#include "plot_surface.h"
#include "prog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <utility>

namespace {

constexpr int kDefaultActions = 10000;
constexpr int kPlotCheckEvery = 100;

std::optional<double> tryNumber(const QString &text)
{
    try {
        return numberFromText(text);
    } catch (const Failure &) {
        return std::nullopt;
    }
}

// The number a text shows, read with the C library so that the check does not rest on the
// conversion it checks; infinity for a text beyond the range of a double.
std::optional<double> readBack(const QString &text)
{
    QByteArray spelled = text.toUtf8();
    spelled.replace(',', '.');
    if (spelled.isEmpty())
        return std::nullopt;
    char *end = nullptr;
    const double value = std::strtod(spelled.constData(), &end);
    if (*end != '\0')
        return std::nullopt;
    return value;
}

// Whether a read-out text shows value to within tolerance (plus 15 significant digits).
bool shows(const QString &text, double value, double tolerance)
{
    const std::optional<double> shown = readBack(text);
    if (!shown)
        return false;
    if (std::isinf(*shown))  // 15 digits of the very largest doubles lie beyond the range
        return std::fabs(value) >= 1.797693134862315e308 && std::signbit(*shown) == std::signbit(value);
    return std::fabs(*shown - value) <= tolerance * (1 + 1e-9) + 1e-14 * std::fabs(value);
}

bool sameTrajectory(const Model &a, const Model &b)
{
    for (int k = kFirstSample; k <= kLastSample; ++k)
        if (a.ok(k) != b.ok(k) || a.xs(k) != b.xs(k) || a.ys(k) != b.ys(k))
            return false;
    return true;
}

bool sameCoefficients(const Model &a, const Model &b)
{
    return a.A == b.A && a.B == b.B && a.C == b.C && a.D == b.D && a.E == b.E && a.F == b.F;
}

double coefficient(const Model &m, int index)
{
    const double values[] = {m.A, m.B, m.C, m.D, m.E, m.F};
    return values[index];
}

bool inside(double x, double y)
{
    return std::fabs(x) < Model::kBound && std::fabs(y) < Model::kBound;
}

// The stored trajectory keeps the rules of a computation: sample 0 valid; on each side a run
// of valid samples inside the square, then invalid samples of which all but the first hold
// (-1, -1). (The first holds the point that left the square, or a filler that an early end
// of a later computation left in place.)
QString trajectoryFault(const Model &m)
{
    if (!m.ok(0))
        return QStringLiteral("sample 0 is not valid");
    for (int k = kFirstSample; k <= kLastSample; ++k)
        if (!std::isfinite(m.xs(k)) || !std::isfinite(m.ys(k)))
            return QStringLiteral("sample %1 is (%2, %3)").arg(k).arg(m.xs(k)).arg(m.ys(k));
    for (int side : {+1, -1}) {
        bool run = true;
        for (int n = 1; n <= kLastSample; ++n) {
            const int k = side * n;
            const double x = m.xs(k), y = m.ys(k);
            const bool filler = x == Model::kFiller && y == Model::kFiller;
            if (run && m.ok(k)) {
                if (!inside(x, y))
                    return QStringLiteral("valid sample %1 lies outside at (%2, %3)").arg(k).arg(x).arg(y);
            } else if (run) {
                run = false;
                if (inside(x, y) && !filler)
                    return QStringLiteral("first invalid sample %1 lies inside at (%2, %3)").arg(k).arg(x).arg(y);
            } else if (m.ok(k) || !filler) {
                return QStringLiteral("sample %1 after an invalid one is (%2, %3, %4)").arg(k).arg(m.ok(k)).arg(x).arg(y);
            }
        }
    }
    return {};
}

// Texts a person may type or paste: numbers of every size and form, in this locale's and the
// other locale's spelling, and things that are no number at all.
class TextSource {
public:
    TextSource(QRandomGenerator &random, QChar decimal) : random_(random), decimal_(decimal) {}

    QString any()
    {
        switch (random_.bounded(12)) {
        case 0: return huge();
        case 1: return tiny();
        case 2: return negativeZero();
        case 3: return garbage();
        case 4: return QString();
        case 5: return QStringLiteral("  ") + moderate(20) + QStringLiteral(" ");
        case 6: return wrongSeparator();
        default: return moderate(25);
        }
    }

    // A time span: mostly a usable one.
    QString span()
    {
        if (random_.bounded(3) == 0)
            return any();
        return decimal(random_.bounded(1, 800) / 100.0);
    }

    // A coefficient: mostly one of the size that keeps the trajectory interesting.
    QString coefficient()
    {
        if (random_.bounded(4) == 0)
            return any();
        return decimal((random_.bounded(2001) - 1000) / 200.0);
    }

    // An initial coordinate: mostly inside the drawn square.
    QString coordinate()
    {
        if (random_.bounded(3) == 0)
            return any();
        return decimal((random_.bounded(2401) - 200) / 200.0);
    }

private:
    QString decimal(double value)
    {
        QString text = QString::number(value, 'g', 12);
        return text.replace(u'.', decimal_);
    }

    QString moderate(double size)
    {
        const double value = (random_.generateDouble() * 2 - 1) * size;
        QString text = QString::number(value, 'g', 1 + random_.bounded(17));
        if (random_.bounded(4) == 0)
            text += QStringLiteral("e") + QString::number(random_.bounded(-3, 4));
        return text.replace(u'.', decimal_);
    }

    QString huge()
    {
        static const char *const texts[] = {"1e308", "-1e308", "1.7976931348623157e308", "1.7976931348623159e308",
                                            "1e309", "9e307", "-1e300", "1e200", "1e38", "3.5e38", "1e154"};
        return QString::fromLatin1(texts[random_.bounded(int(std::size(texts)))]).replace(u'.', decimal_)
               + (random_.bounded(5) == 0 ? QString(400, u'9') : QString());
    }

    QString tiny()
    {
        static const char *const texts[] = {"5e-324", "4.9e-324", "2.4e-324", "1e-320", "1e-310", "1e-400",
                                            "-1e-300", "2.2250738585072014e-308", "1e-45", "1e-3"};
        return QString::fromLatin1(texts[random_.bounded(int(std::size(texts)))]).replace(u'.', decimal_);
    }

    QString negativeZero()
    {
        static const char *const texts[] = {"-0", "-0.0", "-0e5", "-.0", "+0", "0.000"};
        return QString::fromLatin1(texts[random_.bounded(int(std::size(texts)))]).replace(u'.', decimal_);
    }

    QString wrongSeparator()
    {
        QString text = moderate(10);
        return text.replace(decimal_, decimal_ == u'.' ? u',' : u'.');
    }

    QString garbage()
    {
        static const char *const texts[] = {"inf", "-inf", "nan", "NaN", "Infinity", "1e", "--1", "1-", "0x10",
                                            "1,000.5", "1.000,5", "e5", ".", ",", "+", "1 2", "abc", "½",
                                            "\u22122", "\u00a05\u00a0", "\U0001F600", "1e99999", "١٢"};
        if (random_.bounded(2) == 0)
            return QString::fromUtf8(texts[random_.bounded(int(std::size(texts)))]);
        QString text;
        const int length = random_.bounded(1, 12);
        for (int i = 0; i < length; ++i)
            text += QChar(char16_t(random_.bounded(0x20, 0x7f)));
        return text;
    }

    QRandomGenerator &random_;
    QChar decimal_;
};

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

class Monkey {
public:
    Monkey(Prog &window, quint64 seed, QChar decimal)
        : window_(window), random_(seed), texts_(random_, decimal)
    {
        QObject::connect(&modalWatcher_, &QTimer::timeout, &context_, [this] { handleModal(); });
        modalWatcher_.start(0);
        // Connected after the window's own handlers, so it sees what they wrote.
        QObject::connect(window_.HScroll1, &QScrollBar::valueChanged, &context_, [this] { noteCursorMoved(); });
        noteCursorMoved();  // at start-up the designed texts show sample 0
    }

    // Runs one random action and checks everything; the fault, or nothing.
    QString step(int number)
    {
        before_ = window_.model;
        cursorBefore_ = window_.HScroll1->value();
        QString fault = randomAction();
        if (!unexpectedModal_.isEmpty())  // a failure message explains what followed it
            return unexpectedModal_ + (fault.isEmpty() ? QString() : QStringLiteral("; then: ") + fault);
        if (fault.isEmpty())
            fault = invariantFault();
        if (fault.isEmpty() && number % kPlotCheckEvery == 0)
            fault = plotFault();
        return fault;
    }

    // The last few actions, for the failure report.
    QString recentActions() const
    {
        QStringList lines;
        for (const QString &line : recent_)
            lines << QStringLiteral("    ") + line;
        return lines.join(u'\n');
    }

    QString plotFault() const;

private:
    QString randomAction();
    QString pressPhasePlane();
    QString pressElsewhere();
    QString editCoefficient();
    QString typeIntoBox();
    QString pressCalcular();
    QString moveCursor();
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
    bool readoutsTyped_ = false;
    Model before_;
    int cursorBefore_ = 0;
    std::deque<QString> recent_;
};

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
    readoutsTyped_ = false;
}

// Answers the coefficient dialog from inside its event loop; any other modal window is a
// fault (a failure message), closed so that the run can report it.
void Monkey::handleModal()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    auto *input = qobject_cast<QInputDialog *>(modal);
    if (!input || !pendingAnswer_) {
        const auto *box = qobject_cast<QMessageBox *>(modal);
        unexpectedModal_ = QStringLiteral("a modal window opened: \"%1\" %2")
                               .arg(modal->windowTitle(), box ? box->text() : QString());
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        return;
    }
    const DialogAnswer answer = *pendingAnswer_;
    pendingAnswer_.reset();
    dialogSeen_ = DialogSeen{input->windowTitle(), input->labelText(), input->textValue()};

    auto *edit = input->findChild<QLineEdit *>();
    edit->selectAll();
    bool typable = true;
    for (QChar c : answer.text)
        typable = typable && c.unicode() >= 0x20 && c.unicode() < 0x7f;
    if (answer.text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else if (typable)
        QTest::keyClicks(edit, answer.text);
    else
        edit->insert(answer.text);  // as pasted: keyClicks types only Latin-1

    auto *buttons = input->findChild<QDialogButtonBox *>();
    if (answer.accept) {
        switch (answer.how) {
        case 0: QTest::keyClick(edit, Qt::Key_Return); break;
        case 1: QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton); break;
        default: input->accept(); break;
        }
    } else {
        switch (answer.how) {
        case 0: QTest::keyClick(edit, Qt::Key_Escape); break;
        case 1: QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton); break;
        default: input->close(); break;
        }
    }
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
    return moveCursor();
}

// A press (or a double click) anywhere in the phase plane, border included: the pressed point
// becomes the initial point, within the pixel pressed, and is recomputed from there.
QString Monkey::pressPhasePlane()
{
    PlotSurface *plot = window_.XYgraf;
    const QPoint at = randomPointIn(plot);
    const Qt::MouseButton button = randomButton();
    const Qt::KeyboardModifiers modifiers = randomModifiers();
    const bool twice = random_.bounded(8) == 0;
    log(QStringLiteral("%1 in XYgraf at (%2, %3), button %4, modifiers %5")
            .arg(twice ? "double click" : "press").arg(at.x()).arg(at.y()).arg(int(button)).arg(int(modifiers)));
    if (twice)
        QTest::mouseDClick(plot, button, modifiers, at);
    else
        QTest::mouseClick(plot, button, modifiers, at);

    const Model &m = window_.model;
    if (!sameCoefficients(m, before_) || m.dt != before_.dt)
        return QStringLiteral("a press changed the coefficients or dt");
    if (window_.HScroll1->value() != 0)
        return QStringLiteral("the time cursor stands at %1 after a press").arg(window_.HScroll1->value());

    // The pressed pixel covers [start, start + 15) twips of the drawing area on each axis.
    const QPoint inArea = at - plot->contentsRect().topLeft();
    const bool snapping = modifiers & Qt::ShiftModifier && !(modifiers & (Qt::ControlModifier | Qt::AltModifier));
    struct Axis {
        QLineEdit *box;
        double start;   // twips from the axis at the pixel's edge nearest to the origin side
        double sample;
    };
    const double x0 = inArea.x() * 15.0 - 150, y0 = 4100 - inArea.y() * 15.0;
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
        const double tolerance = 1e-6 * std::max(std::fabs(low), std::fabs(high)) / 400;
        if (*value < low / 400 - tolerance || *value > high / 400 + tolerance)
            return QStringLiteral("%1 shows %2, outside the pressed pixel [%3, %4]")
                .arg(axis.box->objectName()).arg(*value).arg(low / 400).arg(high / 400);
    }
    return {};
}

// Presses in the time plots and on the plain labels do nothing.
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

    const Model &m = window_.model;
    if (!sameTrajectory(m, before_) || !sameCoefficients(m, before_) || m.dt != before_.dt
        || window_.HScroll1->value() != cursorBefore_)
        return QStringLiteral("a press in %1 changed the state").arg(target->objectName());
    return {};
}

// A click on a coefficient label, the dialog answered with random text or cancelled: the
// coefficient takes the number typed, or stays; nothing else changes.
QString Monkey::editCoefficient()
{
    const int index = random_.bounded(6);
    const DialogAnswer answer{texts_.coefficient(), random_.bounded(5) != 0, int(random_.bounded(3))};
    log(QStringLiteral("click on par(%1), answer \"%2\" %3 (way %4)")
            .arg(index).arg(answer.text, answer.accept ? "accepted" : "cancelled").arg(answer.how));
    pendingAnswer_ = answer;
    dialogSeen_.reset();
    ClickableLabel *label = window_.par[index];
    QTest::mouseClick(label, randomButton(), {}, randomPointIn(label));

    if (pendingAnswer_) {
        pendingAnswer_.reset();
        return QStringLiteral("no dialog opened for par(%1)").arg(index);
    }
    const QString letter(QChar(u'A' + index));
    if (dialogSeen_->title != QStringLiteral("Modificación de datos")
        || dialogSeen_->prompt != QStringLiteral("Nuevo valor del parámetro ") + letter)
        return QStringLiteral("dialog \"%1\" asks \"%2\"").arg(dialogSeen_->title, dialogSeen_->prompt);
    const double old = coefficient(before_, index);
    if (!shows(dialogSeen_->offered, old, 0.0005))
        return QStringLiteral("the dialog offers \"%1\" for %2").arg(dialogSeen_->offered).arg(old, 0, 'g', 17);

    const Model &m = window_.model;
    const std::optional<double> typed = answer.accept ? tryNumber(answer.text) : std::nullopt;
    const double expected = typed ? *typed : old;
    for (int i = 0; i < 6; ++i) {
        const double want = i == index ? expected : coefficient(before_, i);
        if (!(coefficient(m, i) == want && std::signbit(coefficient(m, i)) == std::signbit(want)))
            return QStringLiteral("coefficient %1 is %2, expected %3").arg(i).arg(coefficient(m, i)).arg(want);
    }
    if (!sameTrajectory(m, before_) || m.dt != before_.dt || window_.HScroll1->value() != cursorBefore_)
        return QStringLiteral("a coefficient edit changed the trajectory, dt or the cursor");

    if (typed) {  // the label shows the new value
        const QColor colour = label->palette().color(QPalette::WindowText);
        const QColor sign = expected > 0 ? QColor(0, 0, 255) : expected < 0 ? QColor(255, 0, 0) : QColor(0, 255, 0);
        if (colour != sign)
            return QStringLiteral("par(%1) is %2 for %3").arg(index).arg(colour.name()).arg(expected);
        if (!shows(label->toolTip(), expected, 0))
            return QStringLiteral("par(%1) tooltip \"%2\" for %3").arg(index).arg(label->toolTip()).arg(expected, 0, 'g', 17);
    }
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
    const int how = random_.bounded(5);
    log(QStringLiteral("type \"%1\" into %2 (way %3)").arg(text, box->objectName()).arg(how));
    box->setFocus();
    switch (how) {
    case 0:  // replace by typing, where the keys exist
        box->selectAll();
        for (QChar c : text) {
            if (c.unicode() >= 0x20 && c.unicode() < 0x7f)
                QTest::keyClick(box, c.toLatin1());
            else
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
    if (box == window_.TR || box == window_.XR || box == window_.YR)
        readoutsTyped_ = true;

    const Model &m = window_.model;
    if (!sameTrajectory(m, before_) || !sameCoefficients(m, before_) || m.dt != before_.dt
        || window_.HScroll1->value() != cursorBefore_)
        return QStringLiteral("typing into %1 changed the state").arg(box->objectName());
    return {};
}

// Calcular, by mouse or keyboard: a span above 0 sets dt to its hundredth and recomputes;
// 0 or less writes back the span in force; a text that is no number comes back as "0".
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
    if (v && *v > 0) {
        if (m.dt != *v / 100)
            return QStringLiteral("dt is %1 after the span %2").arg(m.dt, 0, 'g', 17).arg(*v, 0, 'g', 17);
        if (window_.Text2->text() != textOf(*v))
            return QStringLiteral("Text2 shows \"%1\" after the span %2").arg(window_.Text2->text()).arg(*v);
        if (window_.HScroll1->value() != 0)
            return QStringLiteral("the cursor stands at %1 after Calcular").arg(window_.HScroll1->value());
        if (typedX && m.xs(0) != *typedX)
            return QStringLiteral("xs(0) is %1, XI shows %2").arg(m.xs(0)).arg(*typedX);
        if (typedX && typedY && m.ys(0) != *typedY)
            return QStringLiteral("ys(0) is %1, YI shows %2").arg(m.ys(0)).arg(*typedY);
        return {};
    }
    if (m.dt != before_.dt || !sameTrajectory(m, before_) || window_.HScroll1->value() != cursorBefore_)
        return QStringLiteral("Calcular with the span \"%1\" changed the state").arg(span);
    const QString expected = v ? textOf(before_.dt * 100) : QStringLiteral("0");
    if (window_.Text2->text() != expected)
        return QStringLiteral("Text2 shows \"%1\" after \"%2\", expected \"%3\"").arg(window_.Text2->text(), span, expected);
    return {};
}

QPoint Monkey::scrollBarPart(QStyle::SubControl part)
{
    QScrollBar *bar = window_.HScroll1;
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    const QRect rect = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
    if (rect.isEmpty())
        return randomPointIn(bar);
    return QPoint(rect.left() + random_.bounded(rect.width()), rect.top() + random_.bounded(rect.height()));
}

// The time cursor moved by every means: keys, code, actions, clicks on the arrows and the
// track, the wheel, and drags of the thumb. Nothing in the model changes.
QString Monkey::moveCursor()
{
    QScrollBar *bar = window_.HScroll1;
    const int how = random_.bounded(6);
    switch (how) {
    case 0: {
        static const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp,
                                       Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
        const Qt::Key key = keys[random_.bounded(int(std::size(keys)))];
        const int times = random_.bounded(1, 8);
        log(QStringLiteral("key %1 on HScroll1 %2 times").arg(int(key), 0, 16).arg(times));
        bar->setFocus();
        for (int i = 0; i < times; ++i)
            QTest::keyClick(bar, key);
        break;
    }
    case 1: {
        const int value = random_.bounded(-130, 131);
        log(QStringLiteral("HScroll1 set to %1").arg(value));
        bar->setValue(value);
        if (bar->value() != std::clamp(value, -100, 100))
            return QStringLiteral("the cursor stands at %1 after setting %2").arg(bar->value()).arg(value);
        break;
    }
    case 2: {
        const auto action = QAbstractSlider::SliderAction(random_.bounded(1, 8));
        log(QStringLiteral("HScroll1 action %1").arg(int(action)));
        bar->triggerAction(action);
        break;
    }
    case 3: {
        static const QStyle::SubControl parts[] = {QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine,
                                                   QStyle::SC_ScrollBarAddPage, QStyle::SC_ScrollBarSubPage};
        const QStyle::SubControl part = parts[random_.bounded(int(std::size(parts)))];
        const QPoint at = scrollBarPart(part);
        const Qt::MouseButton button = randomButton();
        log(QStringLiteral("click on HScroll1 part %1 at (%2, %3), button %4").arg(int(part)).arg(at.x()).arg(at.y()).arg(int(button)));
        QTest::mouseClick(bar, button, randomModifiers(), at);
        break;
    }
    case 4: {
        const int delta = (random_.bounded(2) ? 1 : -1) * 120 * random_.bounded(1, 4);
        const bool vertical = random_.bounded(2);
        const QPoint at = randomPointIn(bar);
        log(QStringLiteral("wheel on HScroll1 by %1 %2").arg(delta).arg(vertical ? "vertically" : "horizontally"));
        QWheelEvent wheel(at, bar->mapToGlobal(at), QPoint(), vertical ? QPoint(0, delta) : QPoint(delta, 0),
                          Qt::NoButton, randomModifiers(), Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &wheel);
        break;
    }
    default: {
        const QPoint grip = scrollBarPart(QStyle::SC_ScrollBarSlider);
        const int moves = random_.bounded(1, 10);
        log(QStringLiteral("drag of the HScroll1 thumb from (%1, %2), %3 moves").arg(grip.x()).arg(grip.y()).arg(moves));
        QTest::mousePress(bar, Qt::LeftButton, {}, grip);
        QPoint at = grip;
        for (int i = 0; i < moves; ++i) {
            at = QPoint(random_.bounded(-40, bar->width() + 40), random_.bounded(-20, bar->height() + 20));
            QMouseEvent move(QEvent::MouseMove, at, bar->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(bar, &move);
            if (readout_.cursor != bar->value())
                return QStringLiteral("the cursor moved to %1 unnoticed").arg(bar->value());
            if (const QString fault = readoutFault(); !fault.isEmpty())
                return QStringLiteral("during the drag: ") + fault;
        }
        QTest::mouseRelease(bar, Qt::LeftButton, {}, at);
        break;
    }
    }
    const Model &m = window_.model;
    if (!sameTrajectory(m, before_) || !sameCoefficients(m, before_) || m.dt != before_.dt)
        return QStringLiteral("moving the cursor changed the model");
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
// cursor when it last moved, unless the user has typed over them since.
QString Monkey::readoutFault() const
{
    if (readoutsTyped_)
        return {};
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

// The pixels that the dots of the valid samples cover in one plot, worked out from the
// mappings: a dot of one logical pixel, or of 3 by 3 pixels centred on its pixel for the
// sample under the cursor, clipped to the drawing area.
std::set<std::pair<int, int>> expectedDots(const Model &m, int cursor, const QSize &area,
                                           const std::function<std::pair<double, double>(int)> &position)
{
    std::set<std::pair<int, int>> pixels;
    for (int k = kFirstSample; k <= kLastSample; ++k) {
        if (!m.ok(k))
            continue;
        const auto [x, y] = position(k);
        if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > FLT_MAX || std::fabs(y) > FLT_MAX)
            continue;  // no single-precision position: not drawn
        const double column = std::floor(double(float(x)) / 15), row = std::floor(double(float(y)) / 15);
        const int size = k == cursor ? 3 : 1;
        const double reach = 1;
        if (column < -reach || row < -reach || column > area.width() + reach || row > area.height() + reach)
            continue;
        const int left = int(column) - (size - 1) / 2, top = int(row) - (size - 1) / 2;
        for (int i = left; i < left + size; ++i)
            for (int j = top; j < top + size; ++j)
                if (i >= 0 && j >= 0 && i < area.width() && j < area.height())
                    pixels.insert({i, j});
    }
    return pixels;
}

// Each plot shows exactly the dots of the valid samples: every pixel that is not background
// has the text colour and belongs to a dot, and every pixel of a dot is drawn.
QString Monkey::plotFault() const
{
    const Model &m = window_.model;
    const int c = window_.HScroll1->value();
    struct View {
        const PlotSurface *plot;
        std::function<std::pair<double, double>(int)> position;
    };
    const View views[] = {
        {window_.XYgraf, [&m](int k) { return std::pair(150 + 400 * m.xs(k), 4100 - 400 * m.ys(k)); }},
        {window_.Xgraf, [&m](int k) { return std::pair(double(2060 + 20 * k), 1700 - 170 * m.xs(k)); }},
        {window_.Ygraf, [&m](int k) { return std::pair(double(2060 + 20 * k), 1700 - 170 * m.ys(k)); }},
    };
    for (const View &view : views) {
        const QImage &image = view.plot->image();
        if (image.devicePixelRatio() != 1)
            return QStringLiteral("the plot check counts pixels at scale 1, not %1").arg(image.devicePixelRatio());
        const std::set<std::pair<int, int>> expected = expectedDots(m, c, image.size(), view.position);
        const QRgb background = view.plot->palette().color(QPalette::Base).rgb();
        const QRgb ink = view.plot->palette().color(QPalette::Text).rgb();
        std::set<std::pair<int, int>> drawn;
        for (int j = 0; j < image.height(); ++j) {
            for (int i = 0; i < image.width(); ++i) {
                const QRgb pixel = image.pixel(i, j);
                if (pixel == background)
                    continue;
                if (pixel != ink)
                    return QStringLiteral("%1 has a pixel of colour %2 at (%3, %4)")
                        .arg(view.plot->objectName()).arg(pixel, 8, 16).arg(i).arg(j);
                drawn.insert({i, j});
            }
        }
        if (drawn != expected) {
            std::pair<int, int> first{-1, -1};
            QString which;
            for (const auto &p : expected)
                if (!drawn.count(p)) {
                    first = p;
                    which = QStringLiteral("missing");
                    break;
                }
            if (which.isEmpty())
                for (const auto &p : drawn)
                    if (!expected.count(p)) {
                        first = p;
                        which = QStringLiteral("extra");
                        break;
                    }
            return QStringLiteral("%1 shows %2 dark pixels, the valid samples cover %3; first %4 pixel (%5, %6)")
                .arg(view.plot->objectName()).arg(drawn.size()).arg(expected.size()).arg(which).arg(first.first)
                .arg(first.second);
        }
    }
    return {};
}

QtMessageHandler testLogHandler = nullptr;

// The offscreen platform says this for every dialog shown; it says nothing about the program.
void dropSizeHintNotices(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    testLogHandler(type, context, message);
}

quint64 seedFromEnvironment(quint64 fallback)
{
    bool ok = false;
    const quint64 seed = qEnvironmentVariable("LV_MONKEY_SEED").toULongLong(&ok);
    return ok ? seed : fallback;
}

int actionsFromEnvironment()
{
    bool ok = false;
    const int actions = qEnvironmentVariableIntValue("LV_MONKEY_ACTIONS", &ok);
    return ok && actions > 0 ? actions : kDefaultActions;
}

} // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testLogHandler = qInstallMessageHandler(dropSizeHintNotices); }
    void randomActions_data();
    void randomActions();
    void cleanup() { QLocale::setDefault(QLocale::c()); }
};

void MonkeyTest::randomActions_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<quint64>("seed");
    QTest::newRow("decimal point") << QLocale::c() << quint64(20240611);
    QTest::newRow("decimal comma") << QLocale(QLocale::Spanish, QLocale::Spain) << quint64(19450508);
}

void MonkeyTest::randomActions()
{
    QFETCH(QLocale, locale);
    QFETCH(quint64, seed);
    seed = seedFromEnvironment(seed);
    const int actions = actionsFromEnvironment();
    QLocale::setDefault(locale);

    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Monkey monkey(window, seed, locale.decimalPoint().at(0));
    if (const QString fault = monkey.plotFault(); !fault.isEmpty())
        QFAIL(qPrintable(QStringLiteral("seed %1, at start-up: %2").arg(seed).arg(fault)));

    for (int action = 0; action < actions; ++action) {
        const QString fault = monkey.step(action);
        if (!fault.isEmpty())
            QFAIL(qPrintable(QStringLiteral("seed %1, action %2: %3\n  the last actions:\n%4")
                                 .arg(seed).arg(action).arg(fault, monkey.recentActions())));
    }
    if (const QString fault = monkey.plotFault(); !fault.isEmpty())
        QFAIL(qPrintable(QStringLiteral("seed %1, at the end: %2").arg(seed).arg(fault)));
}

QTEST_MAIN(MonkeyTest)
#include "monkey_test.moc"
