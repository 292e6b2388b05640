// Start-up and the six coefficient labels: their colours, tooltips and the edit dialog; the
// live coefficient controls of the analysis window.
#include "display/analysis/analysis_window.h"
#include "display/analysis/coefficient_controls.h"
#include "display/analysis/ecology_section.h"
#include "display/bifurcation/bifurcation_canvas.h"
#include "display/bifurcation/bifurcation_window.h"
#include "display/controls/clickable_label.h"
#include "display/plots/plot_surface.h"
#include "display/toolkit/qt_translation.h"
#include "interaction/analysis/analysis_layer.h"
#include "interaction/analysis/parameter_exploration.h"
#include "interaction/prog.h"
#include "tests/dialog_answerer.h"
#include "tests/scoped_locale.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QLocale>
#include <QDoubleSpinBox>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QToolTip>

namespace {

QColor colourOf(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);

// Records the colour of par(0) at the moment the window is shown.
class ShowWatcher : public QObject {
public:
    QColor colourAtShow;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            colourAtShow = colourOf(static_cast<Prog *>(watched)->par[0]);
        return false;
    }
};

} // namespace

class ParametersTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(installQtSpanishTexts()); }
    void startUp();
    void labelsAreColouredBeforeTheWindowShows();
    void refresh_data();
    void refresh();
    void editing_data();
    void editing();
    void offeredValueIsRoundedToThreeDecimals_data();
    void offeredValueIsRoundedToThreeDecimals();
    void editingRecomputesNothing();
    void indexOutsideTheLabelsDoesNothing();
    void whatClicksALetter_data();
    void whatClicksALetter();
    void liveControlsHoldTheDecimalsTheyShow_data();
    void liveControlsHoldTheDecimalsTheyShow();
    void typedValueIsTakenExactlyOrRefused_data();
    void typedValueIsTakenExactlyOrRefused();
    void gestureKeepsOneTrajectory_data();
    void gestureKeepsOneTrajectory();
    void ecologicalParameterIsTakenExactlyOrRefused_data();
    void ecologicalParameterIsTakenExactlyOrRefused();
    void coefficientsOutsideTheFormIdleTheParameters();
};

void ParametersTest::startUp()
{
    Prog window;
    window.Form_Load();
    QVERIFY(window.isVisible());
    const QColor colours[] = {kBlue, kGreen, kRed, kRed, kBlue, kGreen};
    const char *tips[] = {"4", "0", "-1", "-4", "1", "0"};
    const char *captions[] = {" A ", " B ", " C ", " D  ", " E ", " F  "};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(colourOf(window.par[i]), colours[i]);
        QCOMPARE(window.par[i]->toolTip(), QString::fromLatin1(tips[i]));
        QCOMPARE(window.par[i]->text(), QString::fromLatin1(captions[i]));
    }
    // Start-up leaves the read-outs and the cursor as designed, and computes from (5, 5).
    QCOMPARE(window.TR->text(), QStringLiteral("0"));
    QCOMPARE(window.XR->text(), QStringLiteral("5"));
    QCOMPARE(window.YR->text(), QStringLiteral("5"));
    QCOMPARE(window.HScroll1->value(), 0);
    QCOMPARE(window.model.dt, 0.02);
    QCOMPARE(window.model.xs(0), 5.0);
    QCOMPARE(window.model.ys(0), 5.0);
    for (int k = -100; k <= 100; ++k)
        QVERIFY(window.model.ok(k));
}

void ParametersTest::labelsAreColouredBeforeTheWindowShows()
{
    Prog window;
    ShowWatcher watcher;
    window.installEventFilter(&watcher);
    window.Form_Load();
    QCOMPARE(watcher.colourAtShow, kBlue);
}

// The sign is decided by exact comparison; the tooltip shows up to 15 significant digits.
void ParametersTest::refresh_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("tiny positive") << 1e-300 << kBlue << "1e-300";
    QTest::newRow("tiny negative") << -4.9e-324 << kRed << "-4.94065645841247e-324";
    QTest::newRow("negative zero") << -0.0 << kGreen << "0";
    QTest::newRow("one third") << 1.0 / 3 << kBlue << "0.333333333333333";
    QTest::newRow("negative") << -2.5 << kRed << "-2.5";
}

void ParametersTest::refresh()
{
    const ScopedLocale decimalPoint(QLocale::c());
    QFETCH(double, value);
    QFETCH(QColor, colour);
    QFETCH(QString, toolTip);
    Prog window;
    window.Form_Load();
    window.refreshParameterLabel(2, value);
    QCOMPARE(colourOf(window.par[2]), colour);
    QCOMPARE(window.par[2]->toolTip(), toolTip);
    QCOMPARE(window.par[2]->text(), QStringLiteral(" C "));
}

void ParametersTest::editing_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("equation");
    using Answer = std::optional<QString>;
    // The equation's row reads as the formula with the labels' values, for screen readers.
    const QString xRow = QStringLiteral("x prima igual a x por (4 + 0 x \u2212 1 y)");
    QTest::newRow("A positive") << 0 << Answer("7") << 7.0 << "7" << kBlue << QStringLiteral("x prima igual a x por (7 + 0 x \u2212 1 y)");
    QTest::newRow("B negative, blanks") << 1 << Answer(" -2.50 ") << -2.5 << "-2.5" << kRed << QStringLiteral("x prima igual a x por (4 \u2212 2.5 x \u2212 1 y)");
    QTest::newRow("C zero") << 2 << Answer("0") << 0.0 << "0" << kGreen << QStringLiteral("x prima igual a x por (4 + 0 x + 0 y)");
    QTest::newRow("D unchanged value") << 3 << Answer("-4") << -4.0 << "-4" << kRed << QStringLiteral("y prima igual a y por (\u22124 + 1 x + 0 y)");
    QTest::newRow("E exponent") << 4 << Answer("1e-3") << 0.001 << "0.001" << kBlue << QStringLiteral("y prima igual a y por (\u22124 + 0.001 x + 0 y)");
    QTest::newRow("A cancelled") << 0 << Answer() << 4.0 << "4" << kBlue << xRow;
    QTest::newRow("F negative zero") << 5 << Answer("-0") << 0.0 << "0" << kGreen << QStringLiteral("y prima igual a y por (\u22124 + 1 x + 0 y)");
    // Text that is no number leaves the coefficient and says so at its letter.
    const QString cue = QStringLiteral("No es un número: se mantiene el valor anterior");
    QTest::newRow("A empty") << 0 << Answer("") << 4.0 << cue << kBlue << xRow;
    QTest::newRow("A no number") << 0 << Answer("cuatro") << 4.0 << cue << kBlue << xRow;
    QTest::newRow("A infinity") << 0 << Answer("inf") << 4.0 << cue << kBlue << xRow;
    QTest::newRow("A nan") << 0 << Answer("nan") << 4.0 << cue << kBlue << xRow;
    QTest::newRow("A beyond a double") << 0 << Answer("1e999") << 4.0 << cue << kBlue << xRow;
    QTest::newRow("A, a decimal comma") << 0 << Answer("1,5") << 4.0 << cue << kBlue << xRow;
}

// A click on the label opens the dialog; a number is stored and shown, anything else changes
// nothing; text that is no number is named at the letter.
void ParametersTest::editing()
{
    const ScopedLocale decimalPoint(QLocale::c());
    QFETCH(int, index);
    QFETCH(std::optional<QString>, answer);
    QFETCH(double, value);
    QFETCH(QString, toolTip);
    QFETCH(QColor, colour);
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const double defaults[] = {4, 0, -1, -4, 1, 0};
    const char letters[] = "ABCDEF";

    DialogAnswerer answerer(answer);
    QTest::mouseClick(window.par[index], Qt::LeftButton);
    QVERIFY(answerer.seen().dialog);
    QCOMPARE(answerer.seen().title, QStringLiteral("Modificación de datos"));
    QCOMPARE(answerer.seen().prompt, QStringLiteral("Nuevo valor del parámetro %1").arg(QChar(letters[index])));
    QCOMPARE(answerer.seen().offered.toDouble(), defaults[index]);
    // Qt's own texts are Spanish too.
    QVERIFY2(answerer.seen().buttons.contains(QStringLiteral("&Aceptar")) || answerer.seen().buttons.contains(QStringLiteral("Aceptar")),
             qPrintable(answerer.seen().buttons.join(u'|')));
    QVERIFY(answerer.seen().buttons.contains(QStringLiteral("&Cancelar")) || answerer.seen().buttons.contains(QStringLiteral("Cancelar")));

    const double parameters[] = {window.model.A, window.model.B, window.model.C,
                                 window.model.D, window.model.E, window.model.F};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(parameters[i], i == index ? value : defaults[i]);
    QCOMPARE(window.par[index]->toolTip(), toolTip);
    QCOMPARE(colourOf(window.par[index]), colour);
    QFETCH(QString, equation);
    QCOMPARE(window.par[index]->parentWidget()->accessibleName(), equation);
    QVERIFY(!QApplication::activeModalWidget());
    // The cue lasts until the next change, also to the value the coefficient had.
    if (toolTip.startsWith(QLatin1String("No es"))) {
        DialogAnswerer again(QString::number(defaults[index]));
        window.par_Click(index);
        QCOMPARE(window.par[index]->toolTip(), QString::number(defaults[index]));
    }
}

// The dialog offers the value rounded to 3 decimals in the user's locale. Regression: confirming
// the offer unchanged stored the rounded value, so 0.00004 became 0 and lost its sign.
void ParametersTest::offeredValueIsRoundedToThreeDecimals_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("offered");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("C") << "C" << 1.23456 << "1.235" << "1.23456";
    QTest::newRow("es_ES") << "es_ES" << -0.0625 << "-0,062" << "-0,0625";
    QTest::newRow("whole") << "C" << 12.0004 << "12" << "12.0004";
    QTest::newRow("tiny keeps its sign") << "C" << 0.00004 << "0" << "4e-05";
}

void ParametersTest::offeredValueIsRoundedToThreeDecimals()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, offered);
    QFETCH(QString, toolTip);
    const ScopedLocale scoped{QLocale(locale)};
    Prog window;
    window.Form_Load();
    window.model.E = value;
    DialogAnswerer answerer(offered);
    window.par_Click(4);
    QCOMPARE(answerer.seen().offered, offered);
    QCOMPARE(window.model.E, value);
    QCOMPARE(window.par[4]->toolTip(), toolTip);
}

// Until the next recomputation the stored trajectory and the plots stay as they were, also
// when the cursor moves.
void ParametersTest::editingRecomputesNothing()
{
    const ScopedLocale decimalPoint(QLocale::c());
    Prog window;
    window.Form_Load();
    const double x50 = window.model.xs(50);
    const QImage before = window.XYgraf->image();
    {
        DialogAnswerer answerer(QStringLiteral("9"));
        window.par_Click(0);
    }
    QCOMPARE(window.model.A, 9.0);
    QCOMPARE(window.model.xs(50), x50);
    QCOMPARE(window.XYgraf->image(), before);
    window.HScroll1->setValue(50);
    QCOMPARE(window.XR->text(), QString::number(std::round(x50 * 1000) / 1000));
    window.Calcular_Click();
    QVERIFY(window.model.xs(50) != x50);
}

void ParametersTest::indexOutsideTheLabelsDoesNothing()
{
    Prog window;
    window.Form_Load();
    for (int index : {-1, 6, 32767}) {
        DialogAnswerer answerer(QStringLiteral("1"));
        window.par_Click(index);
        QVERIFY(!answerer.seen().dialog);
    }
    QCOMPARE(window.model.A, 4.0);
}

// Regression: right and middle clicks opened the dialog, and a held Enter opened it and then
// accepted it by auto-repeat. Only the left button clicks; keys click once, on release.
void ParametersTest::whatClicksALetter_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("clicks");
    QTest::newRow("left button") << "left" << 1;
    QTest::newRow("right button") << "right" << 0;
    QTest::newRow("middle button") << "middle" << 0;
    QTest::newRow("space") << "space" << 1;
    QTest::newRow("enter") << "enter" << 1;
    QTest::newRow("enter held down") << "enter held" << 1;
    QTest::newRow("a letter key") << "x" << 0;
}

void ParametersTest::whatClicksALetter()
{
    QFETCH(QString, gesture);
    QFETCH(int, clicks);
    ClickableLabel label(QStringLiteral(" A "));
    label.resize(40, 25);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    QSignalSpy clicked(&label, &ClickableLabel::clicked);
    if (gesture == QLatin1String("left"))
        QTest::mouseClick(&label, Qt::LeftButton);
    else if (gesture == QLatin1String("right"))
        QTest::mouseClick(&label, Qt::RightButton);
    else if (gesture == QLatin1String("middle"))
        QTest::mouseClick(&label, Qt::MiddleButton);
    else if (gesture == QLatin1String("space"))
        QTest::keyClick(&label, Qt::Key_Space);
    else if (gesture == QLatin1String("enter"))
        QTest::keyClick(&label, Qt::Key_Return);
    else if (gesture == QLatin1String("enter held")) {
        // As the window system delivers a held key: a press, repeated pairs, a last release.
        QTest::keyPress(&label, Qt::Key_Return);
        for (int i = 0; i < 3; ++i) {
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(&label, &release);
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(&label, &press);
        }
        QCOMPARE(clicked.count(), 0);
        QTest::keyRelease(&label, Qt::Key_Return);
    } else
        QTest::keyClick(&label, Qt::Key_X);
    QCOMPARE(clicked.count(), clicks);
}

// Regression: slider values were centre + halfWidth·(pos - 500)/500 in binary, and the error
// piled up over re-centrings (0.30000000000000004 shown as "0.3", 5.55e-17 instead of 0); the
// spin box's arrows added 0.1 in binary alike. Each gesture is "N" (the slider held at
// position N), "r" (released), "right", "left", "pgup" (keys on the slider), "up", "down" (keys
// on the spin box), "=text" (typed into the spin box); after each, the coefficient must be exactly the decimal listed.
void ParametersTest::liveControlsHoldTheDecimalsTheyShow_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("gestures");
    QTest::addColumn<QString>("values");
    // B = 0: steps of 0.002 (max(1, 0) / 500); at 0.1 and 0.3 the same.
    QTest::newRow("B 0, 550, 600, 350 with releases") << 1 << "550 r 600 r 350 r" << "0.1 0.1 0.3 0.3 0 0";
    QTest::newRow("B back to a position") << 1 << "550 r 600 550 500" << "0.1 0.1 0.3 0.2 0.1";
    // A = 4: 4 / 500 = 0.008, rounded up to 0.01; a page is 100 steps.
    QTest::newRow("A keys on the slider") << 0 << "right right pgup left" << "4.01 4.02 5.02 5.01";
    QTest::newRow("B arrows of the spin box") << 1 << "up up up down down down" << "0.1 0.2 0.3 0.2 0.1 0";
    // A typed third is no multiple of 0.002: the slider's middle is the nearest, 0.334.
    QTest::newRow("C from a typed value") << 2 << "=0.333333333333333 501 499 r" << "0.333333333333333 0.336 0.332 0.332";
}

void ParametersTest::liveControlsHoldTheDecimalsTheyShow()
{
    QFETCH(int, index);
    QFETCH(QString, gestures);
    QFETCH(QString, values);
    const ScopedLocale decimalPoint(QLocale::c());
    Prog window;
    window.Form_Load();
    window.analysis->showAnalysisWindow();
    CoefficientControls *controls = window.analysis->analysisWindow()->coefficientControls();
    QSlider *slider = controls->slider(index);
    QDoubleSpinBox *box = controls->valueBox(index);
    const double *fields[] = {&window.model.A, &window.model.B, &window.model.C,
                              &window.model.D, &window.model.E, &window.model.F};
    QSignalSpy refusals(box, SIGNAL(refused(QString)));
    const QStringList steps = gestures.split(u' ');
    const QStringList expected = values.split(u' ');
    QCOMPARE(steps.size(), expected.size());
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QString &step = steps[i];
        bool isPosition = false;
        const int position = step.toInt(&isPosition);
        if (isPosition) {
            slider->setSliderDown(true);
            slider->setValue(position);
        } else if (step.startsWith(u'=')) {
            box->selectAll();
            QTest::keyClicks(box, step.mid(1));
            QTest::keyClick(box, Qt::Key_Return);
        } else if (step == QLatin1String("r")) {
            slider->setSliderDown(false);
        } else {
            const bool onBox = step == QLatin1String("up") || step == QLatin1String("down");
            const Qt::Key key = step == QLatin1String("right") ? Qt::Key_Right
                : step == QLatin1String("left")                ? Qt::Key_Left
                : step == QLatin1String("pgup")                ? Qt::Key_PageUp
                : step == QLatin1String("up")                  ? Qt::Key_Up
                                                               : Qt::Key_Down;
            QTest::keyClick(onBox ? static_cast<QWidget *>(box) : slider, key);
        }
        const double value = *fields[index];
        QVERIFY2(value == expected[i].toDouble(),
                 qPrintable(step + QStringLiteral(": ") + QString::number(value, 'g', 17)));
        QCOMPARE(box->text(), expected[i]);
    }
    box->clearFocus();
    QCOMPARE(refusals.count(), 0);   // a valid value is never refused
}

// Regression: a typed value outside the box's range or no number was silently replaced by the
// value before. It is taken exactly, or refused with a message at the box.
void ParametersTest::typedValueIsTakenExactlyOrRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("refused");
    QTest::newRow("twenty digits") << "0.12345678901234567891" << 0.12345678901234567891 << false;
    QTest::newRow("exponent") << "-2.5e-7" << -2.5e-7 << false;
    QTest::newRow("beyond the range") << "1e301" << 4.0 << true;
    QTest::newRow("no number") << "cuatro" << 4.0 << true;
}

void ParametersTest::typedValueIsTakenExactlyOrRefused()
{
    QFETCH(QString, typed);
    QFETCH(double, value);
    QFETCH(bool, refused);
    const ScopedLocale decimalPoint(QLocale::c());
    Prog window;
    window.Form_Load();
    window.analysis->showAnalysisWindow();
    auto *box = window.analysis->analysisWindow()->coefficientControls()->valueBox(0);
    QSignalSpy refusals(box, SIGNAL(refused(QString)));
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, typed);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(window.model.A, value);
    QCOMPARE(box->value(), value);
    QCOMPARE(refusals.isEmpty(), !refused);
    if (refused) {
        QVERIFY(QToolTip::isVisible());
        QVERIFY2(QToolTip::text().contains(typed), qPrintable(QToolTip::text()));
    }
}

// Regression: with T on, each step of a slider drag kept a trajectory (20 for A from -5 to 0;
// a drag of D replaced 50 hand-placed orbits with a fan). A gesture keeps only the trajectory
// in force when it began; separate gestures keep one each.
void ParametersTest::gestureKeepsOneTrajectory_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("kept");
    QTest::newRow("slider dragged") << "slider" << 1;
    QTest::newRow("arrow key held on a box") << "held key" << 1;
    QTest::newRow("two arrow key presses on a box") << "two keys" << 2;
    QTest::newRow("diagram dragged") << "diagram" << 1;
    QTest::newRow("ecological slider dragged") << "ecological slider" << 1;
    QTest::newRow("diagram dragged along m") << "ecological diagram" << 1;
}

void ParametersTest::gestureKeepsOneTrajectory()
{
    QFETCH(QString, gesture);
    QFETCH(int, kept);
    Prog window;
    window.Form_Load();
    window.findChild<QAction *>(QStringLiteral("conservar"))->setChecked(true);
    window.analysis->showAnalysisWindow();
    CoefficientControls *controls = window.analysis->analysisWindow()->coefficientControls();
    const double before = window.model.D;
    // Each step waits past a screen frame, so that every step is computed.
    const auto nextFrame = [] { QTest::qWait(40); };
    if (gesture == QLatin1String("slider")) {
        QSlider *slider = controls->slider(3);
        slider->setSliderDown(true);
        for (int position = 510; position <= 600; position += 10) {
            slider->setValue(position);
            nextFrame();
        }
        slider->setSliderDown(false);
    } else if (gesture == QLatin1String("held key")) {
        QDoubleSpinBox *box = controls->valueBox(3);
        QTest::keyPress(box, Qt::Key_Up);
        for (int i = 0; i < 6; ++i) {
            nextFrame();
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(box, &release);
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(box, &press);
        }
        QTest::keyRelease(box, Qt::Key_Up);
    } else if (gesture == QLatin1String("ecological slider")) {
        // m, the predator's death rate of the start-up system, is −D.
        auto *slider = window.analysis->analysisWindow()->findChild<QSlider *>(QStringLiteral("deslizador_m"));
        slider->setSliderDown(true);
        for (int position = 510; position <= 600; position += 10) {
            slider->setValue(position);
            nextFrame();
        }
        slider->setSliderDown(false);
    } else if (gesture == QLatin1String("two keys")) {
        QTest::keyClick(controls->valueBox(3), Qt::Key_Up);
        nextFrame();
        QTest::keyClick(controls->valueBox(3), Qt::Key_Up);
    } else {
        window.analysis->showBifurcationWindow();
        BifurcationWindow *diagram = window.analysis->exploration()->bifurcationWindow();
        // Along D, or along m = −D, the predator's death rate of the start-up system.
        const bool alongM = gesture == QLatin1String("ecological diagram");
        diagram->setCoefficient(3);
        if (alongM)
            QVERIFY(diagram->setParameterById(QStringLiteral("m")));
        QVERIFY(QTest::qWaitForWindowExposed(diagram));
        BifurcationCanvas *canvas = diagram->canvas();
        const BifurcationGeometry g = canvas->diagramGeometry();
        const int y = g.panels[1].center().y();
        const double sign = alongM ? -1 : 1;
        QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(int(g.coefficientX(sign * -5)), y));
        for (double value = -4.5; value <= -3; value += 0.5) {
            nextFrame();
            const QPointF at(g.coefficientX(sign * value), y);
            QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(canvas, &move);
        }
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(int(g.coefficientX(sign * -3)), y));
        if (alongM)
            QCOMPARE(window.state().ecology()->value("m"), -window.model.D);
    }
    QTRY_VERIFY(window.model.D != before);
    QCOMPARE(int(window.state().keptTrajectories().size()), kept);
}

// A parameter typed sets the coefficients by the form's formulas, to the last bit, through the
// live path; one outside its domain is refused at its box and changes nothing.
void ParametersTest::ecologicalParameterIsTakenExactlyOrRefused_data()
{
    QTest::addColumn<QString>("example");
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("coefficients");   // A to F after it
    QTest::addColumn<bool>("refused");
    // r₂ = 7, α₂₁ = 2: E = −r₂α₂₁/K₂ = −4 and F = −r₂/K₂ = −2.
    QTest::newRow("K₂ sets E and F") << "competencia_exclusion" << "K2" << "3.5" << "8 -1 -2 7 -4 -2" << false;
    QTest::newRow("h₁ lowers A") << "competencia_exclusion" << "h1" << "0.5" << "7.5 -1 -2 7 -2 -1" << false;
    QTest::newRow("α₁₂ sets C") << "competencia_coexistencia" << "alfa12" << "0.5" << "6 -1 -0.5 4 -0.5 -1" << false;
    QTest::newRow("K of the prey sets B") << "presa_logistica" << "K" << "6" << "3 -0.5 -1 -2 1 0" << false;
    QTest::newRow("K₂ of 0") << "competencia_exclusion" << "K2" << "0" << "8 -1 -2 7 -2 -1" << true;
    QTest::newRow("a negative harvest") << "competencia_exclusion" << "h2" << "-1" << "8 -1 -2 7 -2 -1" << true;
    QTest::newRow("K₁ whose B overflows") << "competencia_exclusion" << "K1" << "1e-308" << "8 -1 -2 7 -2 -1" << true;
}

void ParametersTest::ecologicalParameterIsTakenExactlyOrRefused()
{
    QFETCH(QString, example);
    QFETCH(QString, parameter);
    QFETCH(QString, typed);
    QFETCH(QString, coefficients);
    QFETCH(bool, refused);
    const ScopedLocale decimalPoint(QLocale::c());
    Prog window;
    window.Form_Load();
    window.findChild<QAction *>(QStringLiteral("modelo_") + example)->trigger();
    window.analysis->showAnalysisWindow();
    auto *box = window.analysis->analysisWindow()->findChild<QDoubleSpinBox *>(QStringLiteral("ecologico_") + parameter);
    QVERIFY(box && box->isEnabled());
    const QString before = box->text();
    QSignalSpy refusals(box, SIGNAL(refused(QString)));
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, typed);
    QTest::keyClick(box, Qt::Key_Return);
    const QStringList expected = coefficients.split(u' ');
    const Coefficients k = window.state().coefficients();
    const double values[] = {k.A, k.B, k.C, k.D, k.E, k.F};
    for (int i = 0; i < 6; ++i)
        QVERIFY2(values[i] == expected[i].toDouble(), qPrintable(QString::number(values[i], 'g', 17)));
    // In force at once, as a live coefficient is.
    QVERIFY(bitIdentical(window.state().system().coefficients, k));
    QCOMPARE(refusals.count(), refused ? 1 : 0);
    QCOMPARE(box->text(), refused ? before : typed);
    if (refused)
        QVERIFY2(QToolTip::text().startsWith(QStringLiteral("No se admite")), qPrintable(QToolTip::text()));
}

// A letter that breaks the form idles the parameters' boxes and says so; one that keeps it
// finds the parameters again with the harvest the user typed.
void ParametersTest::coefficientsOutsideTheFormIdleTheParameters()
{
    const ScopedLocale decimalPoint(QLocale::c());
    Prog window;
    window.Form_Load();
    window.findChild<QAction *>(QStringLiteral("modelo_competencia_exclusion"))->trigger();
    window.analysis->showAnalysisWindow();
    AnalysisWindow *analysis = window.analysis->analysisWindow();
    auto *outcome = analysis->findChild<QLabel *>(QStringLiteral("resultadoEcologico"));
    auto *k2 = analysis->findChild<QDoubleSpinBox *>(QStringLiteral("ecologico_K2"));
    ParameterExploration *live = window.analysis->exploration();
    QVERIFY(live->setEcologicalParameter(6, 0.5));   // h₁
    QCOMPARE(window.model.A, 7.5);

    live->setCoefficient(5, 1);   // F > 0: no competition
    QVERIFY2(outcome->text().startsWith(QStringLiteral("Estos coeficientes no tienen la forma de «Competencia»")),
             qPrintable(outcome->text()));
    QVERIFY(!k2->isEnabled());
    QCOMPARE(k2->text(), QStringLiteral("—"));
    QVERIFY(!live->setEcologicalParameter(4, 3));

    live->setCoefficient(5, -0.5);
    live->setCoefficient(0, 6.5);
    QVERIFY(k2->isEnabled());
    QCOMPARE(k2->text(), QStringLiteral("14"));   // K₂ = r₂ / −F
    // The harvest fell with the form: found again without one, r₁ = A.
    QCOMPARE(analysis->findChild<QDoubleSpinBox *>(QStringLiteral("ecologico_r1"))->text(), QStringLiteral("6.5"));

    QVERIFY(live->setEcologicalParameter(6, 0.5));
    live->setCoefficient(0, 6);   // a letter that keeps the form keeps the harvest: r₁ = A + h₁
    QCOMPARE(analysis->findChild<QDoubleSpinBox *>(QStringLiteral("ecologico_h1"))->text(), QStringLiteral("0.5"));
    QCOMPARE(analysis->findChild<QDoubleSpinBox *>(QStringLiteral("ecologico_r1"))->text(), QStringLiteral("6.5"));
}

QTEST_MAIN(ParametersTest)
#include "parameters_test.moc"
