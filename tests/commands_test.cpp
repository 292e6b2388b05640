// The commands that recompute the trajectory, and the time cursor with its read-outs.
#include "display/plots/plot_surface.h"
#include "interaction/export/plot_export.h"
#include "interaction/prog.h"
#include "display/analysis/analysis_window.h"
#include "interaction/analysis/analysis_layer.h"
#include "interaction/analysis/parameter_exploration.h"
#include "interaction/data/observation_actions.h"
#include "model/failure.h"
#include "tests/dialog_answerer.h"
#include "tests/exact_state.h"
#include "tests/scoped_locale.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QComboBox>
#include <QSlider>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <optional>

Q_DECLARE_METATYPE(PlaneView)

namespace {

// The whole model state holds finite numbers and the trajectory keeps its shape: on each
// side an unbroken run of valid samples from sample 0.
bool sound(const Model &m)
{
    for (double v : {m.A, m.B, m.C, m.D, m.E, m.F, m.dt})
        if (!std::isfinite(v))
            return false;
    if (!(m.dt >= 0))
        return false;
    for (int k = -100; k <= 100; ++k) {
        if (!std::isfinite(m.xs(k)) || !std::isfinite(m.ys(k)))
            return false;
        if (k > 0 && m.ok(k) && !m.ok(k - 1))
            return false;
        if (k < 0 && m.ok(k) && !m.ok(k + 1))
            return false;
    }
    return true;
}


QList<QImage> plotImages(const Prog &window)
{
    return {window.XYgraf->image(), window.Xgraf->image(), window.Ygraf->image()};
}

QString rounded(double value)
{
    return QString::number(std::round(value * 1000) / 1000, 'g', 15);
}

} // namespace

class CommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void timeSpan_data();
    void timeSpan();
    void textThatIsNoNumberShowsTheSpanInForce();
    void typedPointIsAppliedOnlyWithASpanAboveZero();
    void calcularWithAPointThatIsNoNumber();
    void initialPointThatIsNoNumberIsMarked_data();
    void initialPointThatIsNoNumberIsMarked();
    void pressInThePhasePlane_data();
    void pressInThePhasePlane();
    void clickInThePhasePlane_data();
    void clickInThePhasePlane();
    void cursorResetAlwaysRefreshesTheReadOuts();
    void readOuts_data();
    void readOuts();
    void keyboardAndArrowsMoveTheCursor();
    void speedKeysShowTheSpeed();
    void readOutsFollowADrag();
    void readOutsUseTheLocaleSeparator();
    void extremeInputsLeaveASoundState_data();
    void extremeInputsLeaveASoundState();
    void undoTakesBackEachKindOfStep_data();
    void undoTakesBackEachKindOfStep();
    void undoKeepsTheNewestSteps();
    void openingData_data();
    void openingData();
    // Leaves the application's event loops told to quit: later modal dialogs return at once.
    void unhandledFailureIsReported();
    void timePlotsMoveTheCursor_data();
    void timePlotsMoveTheCursor();
    void dragInThePhasePlaneFollowsThePointer();
    void focusNeverEntersTheKeptImages();
    void keptTrajectories();
    void plotOptions_data();
    void plotOptions();
    void ctrlKeysReachTheirTarget_data();
    void ctrlKeysReachTheirTarget();

private:
    std::optional<ScopedLocale> locale;
    Prog *window = nullptr;
};

// The cases check decimal-point texts unless they name another locale.
void CommandsTest::init()
{
    locale.emplace(QLocale::c());
    window = new Prog;
    window->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void CommandsTest::cleanup()
{
    delete window;
    locale.reset();
}

void CommandsTest::timeSpan_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("dt");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("recomputed");
    QTest::newRow("same span") << "2" << 0.02 << "2" << true;
    QTest::newRow("longer span") << "5" << 0.05 << "5" << true;
    QTest::newRow("written back in its own form") << "2.50" << 0.025 << "2.5" << true;
    QTest::newRow("zero keeps the span") << "0" << 0.02 << "2" << false;
    QTest::newRow("negative keeps the span") << "-3" << 0.02 << "2" << false;
    // A dt that underflows to 0 or to a subnormal would stand still, and no file could hold it.
    QTest::newRow("underflowing hundredth") << "1e-322" << 0.02 << "2" << false;
    QTest::newRow("subnormal hundredth") << "2e-306" << 0.02 << "2" << false;
    QTest::newRow("smallest usable span") << "2.3e-306" << 2.3e-308 << "2.3e-306" << true;
}

void CommandsTest::timeSpan()
{
    QFETCH(QString, typed);
    QFETCH(double, dt);
    QFETCH(QString, shown);
    QFETCH(bool, recomputed);
    window->XI->setText(QStringLiteral("3"));
    window->HScroll1->setValue(20);
    window->Text2->setText(typed);
    QTest::mouseClick(window->Calcular, Qt::LeftButton);
    QCOMPARE(window->model.dt, dt);
    QCOMPARE(window->Text2->text(), shown);
    QCOMPARE(window->model.xs(0), recomputed ? 3.0 : 5.0);
    QCOMPARE(window->HScroll1->value(), recomputed ? 0 : 20);
    QVERIFY(sound(window->model));
}

// Regression: a text that is no number came back as "0" while the span in force stayed 2.
// It changes nothing and shows the span in force.
void CommandsTest::textThatIsNoNumberShowsTheSpanInForce()
{
    window->Text2->setText(QStringLiteral("dos"));
    window->HScroll1->setValue(10);
    const double x10 = window->model.xs(10);
    window->Calcular_Click();
    QCOMPARE(window->Text2->text(), QStringLiteral("2"));
    QCOMPARE(window->model.dt, 0.02);
    QCOMPARE(window->model.xs(10), x10);
    QCOMPARE(window->HScroll1->value(), 10);
    QVERIFY(!QApplication::activeModalWidget());
    window->Calcular_Click();
    QCOMPARE(window->Text2->text(), QStringLiteral("2"));
}

// A box of the initial point whose text is no number says so after Calcular (a red frame, a
// tooltip), until the text is edited; the trajectory stays, and the box looks as before.
void CommandsTest::initialPointThatIsNoNumberIsMarked_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::newRow("XI, a word") << "XI" << "cinco";
    QTest::newRow("YI, empty") << "YI" << "";
    QTest::newRow("XI, beyond a double") << "XI" << "1e999";
}

void CommandsTest::initialPointThatIsNoNumberIsMarked()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    const QString notANumber = QStringLiteral("No es un número: se mantiene el valor anterior");
    auto *edit = window->findChild<QLineEdit *>(box);
    const QString ownTip = edit->toolTip();
    const QImage plain = edit->grab().toImage();
    const auto redEdge = [edit] {   // the frame's left edge, halfway down
        const QRgb pixel = edit->grab().toImage().pixel(0, edit->height() / 2);
        return qRed(pixel) > 150 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
    };
    QVERIFY(!redEdge());
    edit->setText(text);
    window->Calcular_Click();
    window->Calcular_Click();   // marked once, however often
    QCOMPARE(window->model.xs(0), 5.0);
    QCOMPARE(edit->toolTip(), notANumber);
    QVERIFY(redEdge());
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("5"));
    QCOMPARE(edit->toolTip(), ownTip);
    edit->clearFocus();
    edit->setCursorPosition(0);
    QCOMPARE(edit->grab().toImage(), plain);
}

void CommandsTest::typedPointIsAppliedOnlyWithASpanAboveZero()
{
    window->XI->setText(QStringLiteral("2"));
    window->YI->setText(QStringLiteral("7"));
    window->Text2->setText(QStringLiteral("0"));
    window->Calcular_Click();
    QCOMPARE(window->model.xs(0), 5.0);
    window->Calcular_Click();
    QCOMPARE(window->model.xs(0), 2.0);
    QCOMPARE(window->model.ys(0), 7.0);
}

// With a usable span and a point that is no number, the trajectory stays, but the span and the
// coefficients come into force and the cursor goes back to 0. Sample 0 is valid anywhere.
void CommandsTest::calcularWithAPointThatIsNoNumber()
{
    window->XI->setText(QStringLiteral("25"));
    window->YI->setText(QStringLiteral("-30"));
    window->Calcular_Click();
    QVERIFY(window->model.ok(0));
    QCOMPARE(window->model.xs(0), 25.0);
    QVERIFY(!window->model.ok(1));
    window->HScroll1->setValue(-40);
    QVERIFY(window->state().setCoefficient(0, 3));
    window->XI->setText(QStringLiteral("cinco"));
    window->Text2->setText(QStringLiteral("4"));
    window->Calcular_Click();
    QCOMPARE(window->model.xs(0), 25.0);
    QCOMPARE(window->HScroll1->value(), 0);
    QCOMPARE(window->model.dt, 0.04);
    QCOMPARE(window->state().system().coefficients.A, 3.0);
}

// Positions in twips of the drawing area, with the modifier mask (1 Shift, 2 Ctrl, 4 Alt).
void CommandsTest::pressInThePhasePlane_data()
{
    QTest::addColumn<PlaneView>("view");
    QTest::addColumn<float>("X");
    QTest::addColumn<float>("Y");
    QTest::addColumn<int>("shift");
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::newRow("start-up point") << PlaneView{} << 2150.f << 2100.f << 0 << "5" << "5";
    QTest::newRow("shift snaps x, 60 twips off") << PlaneView{} << 210.f << 2100.f << 1 << "0" << "5";
    QTest::newRow("shift at exactly 80 twips") << PlaneView{} << 230.f << 4020.f << 1 << "0.2" << "0.2";
    QTest::newRow("shift snaps y from below") << PlaneView{} << 2150.f << 4179.f << 1 << "5" << "0";
    QTest::newRow("no shift, no snap") << PlaneView{} << 210.f << 4100.f << 0 << "0.15" << "0";
    QTest::newRow("shift and ctrl, no snap") << PlaneView{} << 210.f << 4060.f << 3 << "0.15" << "0.1";
    QTest::newRow("shift and alt, no snap") << PlaneView{} << 100.f << 4060.f << 5 << "-0.125" << "0.1";
    QTest::newRow("single precision") << PlaneView{} << 1000.f << 1000.f << 0 << "2.125" << "7.75";
    QTest::newRow("7 digits") << PlaneView{} << 2153.f << 0.f << 0 << "5.0075" << "10.25";
    // Zoomed, as many digits as land within a tenth of a pixel of the press.
    const PlaneView deep{8, 4, 1e-6};
    QTest::newRow("deep zoom") << deep << 2150.f << 2100.f << 0 << "8.0000005" << "4.0000005116";
    QTest::newRow("deep zoom, shift far from the axes") << deep << 2150.f << 2100.f << 1 << "8.0000005" << "4.0000005116";
    QTest::newRow("deep zoom in a corner") << PlaneView{-19.9, 19.9 - 1e-6, 1e-6} << 1234.f << 567.f << 0
                                           << "-19.899999713" << "19.899999868";
    QTest::newRow("deep zoom, shift snaps onto the y axis") << PlaneView{-5e-7, 1, 1e-6} << 2200.f << 2100.f << 1
                                                            << "0" << "1.0000005116";
}

void CommandsTest::pressInThePhasePlane()
{
    QFETCH(PlaneView, view);
    QFETCH(float, X);
    QFETCH(float, Y);
    QFETCH(int, shift);
    QFETCH(QString, x);
    QFETCH(QString, y);
    window->state().setView(view);
    window->XYgraf_MouseDown(1, shift, X, Y);
    QCOMPARE(window->XI->text(), x);
    QCOMPARE(window->YI->text(), y);
    QCOMPARE(window->model.xs(0), x.toDouble());
    QCOMPARE(window->model.ys(0), y.toDouble());
}

// A real click of any button, taken at the tidiest point of the pixel; the modifiers as the mask.
void CommandsTest::clickInThePhasePlane_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QPoint>("pixel");   // in the drawing area
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::newRow("left") << Qt::LeftButton << Qt::KeyboardModifiers() << QPoint(30, 100) << "0.75" << "6.5";
    QTest::newRow("right acts alike") << Qt::RightButton << Qt::KeyboardModifiers() << QPoint(30, 100) << "0.75" << "6.5";
    QTest::newRow("middle") << Qt::MiddleButton << Qt::KeyboardModifiers() << QPoint(143, 140) << "5" << "5";
    QTest::newRow("shift near the y axis") << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ShiftModifier) << QPoint(14, 100) << "0" << "6.5";
    QTest::newRow("ctrl near the y axis") << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ControlModifier) << QPoint(14, 100) << "0.15" << "6.5";
    QTest::newRow("shift on the x axis line") << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ShiftModifier) << QPoint(100, 272) << "3.4" << "0";
    QTest::newRow("left of the y axis") << Qt::LeftButton << Qt::KeyboardModifiers() << QPoint(3, 250) << "-0.26" << "0.87";
    // Regression: a press on the plot's border started a solution outside the drawing area.
    QTest::newRow("on the border") << Qt::LeftButton << Qt::KeyboardModifiers() << QPoint(-1, 284) << "5" << "5";
}

void CommandsTest::clickInThePhasePlane()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QPoint, pixel);
    QFETCH(QString, x);
    QFETCH(QString, y);
    const QPoint border(2, 2);
    QTest::mouseClick(window->XYgraf, button, modifiers, pixel + border);
    QCOMPARE(window->XI->text(), x);
    QCOMPARE(window->YI->text(), y);
    QCOMPARE(window->model.xs(0), x.toDouble());

    // The keyboard's crosshair on the same pixel, then Enter, does what the left button does.
    if (button != Qt::LeftButton || !window->XYgraf->contentsRect().contains(pixel + border))
        return;
    window->XYgraf->setFocus();
    window->XI->setText(QStringLiteral("1"));
    window->XYgraf->setMarkerPixel(pixel + QPoint(11, -1));
    QTest::keyClick(window->XYgraf, Qt::Key_Left, Qt::ControlModifier);
    QTest::keyClick(window->XYgraf, Qt::Key_Left);
    QTest::keyClick(window->XYgraf, Qt::Key_Down);
    QCOMPARE(window->XYgraf->markerPixel(), pixel);
    QTest::keyClick(window->XYgraf, Qt::Key_Return, modifiers);
    QCOMPARE(window->XI->text(), x);
    QCOMPARE(window->YI->text(), y);
}

// Regression: with the cursor already at 0 the read-outs kept the previous trajectory's values.
// After every recomputation they show sample 0 of the new one, whether or not the cursor moved.
void CommandsTest::cursorResetAlwaysRefreshesTheReadOuts()
{
    window->XYgraf_MouseDown(1, 0, 1750, 2500);   // (4, 4): the equilibrium
    QCOMPARE(window->XR->text(), QStringLiteral("4"));
    QCOMPARE(window->YR->text(), QStringLiteral("4"));
    window->XI->setText(QStringLiteral("1.5"));
    window->Calcular_Click();
    QCOMPARE(window->XR->text(), QStringLiteral("1.5"));

    window->HScroll1->setValue(40);
    window->XYgraf_MouseDown(1, 0, 950, 2900);   // (2, 3)
    QCOMPARE(window->HScroll1->value(), 0);
    QCOMPARE(window->TR->text(), QStringLiteral("0"));
    QCOMPARE(window->XR->text(), QStringLiteral("2"));
    QCOMPARE(window->YR->text(), QStringLiteral("3"));
}

void CommandsTest::readOuts_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("t");
    QTest::addColumn<bool>("fillers");
    QTest::newRow("37") << "5" << 37 << "0.74" << false;
    QTest::newRow("left end") << "5" << -100 << "-2" << false;
    QTest::newRow("right end") << "5" << 100 << "2" << false;
    QTest::newRow("first invalid sample") << "0" << -18 << "-0.36" << false;
    QTest::newRow("past the first invalid sample") << "0" << -50 << "-1" << true;
}

// The read-outs show what is stored for the cursor sample, valid or not.
void CommandsTest::readOuts()
{
    QFETCH(QString, start);
    QFETCH(int, cursor);
    QFETCH(QString, t);
    QFETCH(bool, fillers);
    window->XI->setText(start);
    window->Calcular_Click();
    window->HScroll1->setValue(cursor);
    QCOMPARE(window->TR->text(), t);
    QCOMPARE(window->XR->text(), rounded(window->model.xs(cursor)));
    QCOMPARE(window->YR->text(), rounded(window->model.ys(cursor)));
    if (fillers) {
        QCOMPARE(window->XR->text(), QStringLiteral("-1"));
        QCOMPARE(window->YR->text(), QStringLiteral("-1"));
    }
}

// The arrow keys move the cursor the way they point, a page ten samples.
void CommandsTest::keyboardAndArrowsMoveTheCursor()
{
    window->HScroll1->setFocus();
    QTest::keyClick(window->HScroll1, Qt::Key_Right);
    QCOMPARE(window->HScroll1->value(), 1);
    QCOMPARE(window->TR->text(), QStringLiteral("0.02"));
    QTest::keyClick(window->HScroll1, Qt::Key_Left);
    QTest::keyClick(window->HScroll1, Qt::Key_Left);
    QCOMPARE(window->TR->text(), QStringLiteral("-0.02"));
    QTest::keyClick(window->HScroll1, Qt::Key_Home);
    QCOMPARE(window->TR->text(), QStringLiteral("-2"));
    window->HScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(window->TR->text(), QStringLiteral("-1.98"));
    QCOMPARE(window->XR->text(), rounded(window->model.xs(-99)));
    // A page is ten samples, by the keys and by a click in the trough; the thumb keeps its size.
    QTest::keyClick(window->HScroll1, Qt::Key_PageDown);
    QCOMPARE(window->HScroll1->value(), -89);
    QTest::keyClick(window->HScroll1, Qt::Key_PageUp);
    QTest::keyClick(window->HScroll1, Qt::Key_PageUp);
    QCOMPARE(window->HScroll1->value(), -100);
    QCOMPARE(window->HScroll1->pageStep(), 1);
    QTest::mouseClick(window->HScroll1, Qt::LeftButton, {}, QPoint(window->HScroll1->width() * 3 / 4, window->HScroll1->height() / 2));
    QCOMPARE(window->HScroll1->value(), -90);
    QCOMPARE(window->TR->text(), QStringLiteral("-1.8"));
}

// ] and [ say the speed they set, for a moment, in the phase plane's top right corner.
void CommandsTest::speedKeysShowTheSpeed()
{
    window->Calcular->setFocus();
    QTest::keyClick(window->Calcular, Qt::Key_BracketRight);
    auto *note = window->XYgraf->findChild<QLabel *>(QStringLiteral("notaVelocidad"));
    QVERIFY(note && note->isVisible());
    QCOMPARE(note->text(), QStringLiteral("Velocidad: 50 muestras/s"));
    QCOMPARE(note->accessibleName(), note->text());
    QVERIFY(note->geometry().right() >= window->XYgraf->width() - 8 && note->geometry().top() < 8);
    QTest::keyClick(window->Calcular, Qt::Key_BracketLeft);
    QCOMPARE(note->text(), QStringLiteral("Velocidad: 25 muestras/s"));
    QTRY_VERIFY_WITH_TIMEOUT(!note->isVisible(), 5000);
}

// While the thumb is dragged, the read-outs follow every position.
void CommandsTest::readOutsFollowADrag()
{
    QScrollBar *bar = window->HScroll1;
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Horizontal;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    QStringList times;
    connect(bar, &QScrollBar::valueChanged, [&] { times << window->TR->text(); });

    QTest::mousePress(bar, Qt::LeftButton, {}, thumb.center());
    QVERIFY(bar->isSliderDown());
    for (int dx = 10; dx <= 60; dx += 25) {
        QMouseEvent move(QEvent::MouseMove, QPointF(thumb.center() + QPoint(dx, 0)),
                         bar->mapToGlobal(QPointF(thumb.center() + QPoint(dx, 0))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &move);
    }
    QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb.center() + QPoint(60, 0));
    QVERIFY(bar->value() > 0);
    QCOMPARE(times.size(), 3);
    QCOMPARE(window->TR->text(), QString::number(bar->value() * 0.02, 'g', 15));
    QCOMPARE(window->XR->text(), rounded(window->model.xs(bar->value())));
}

void CommandsTest::readOutsUseTheLocaleSeparator()
{
    const ScopedLocale decimalComma{QLocale(QStringLiteral("es_ES"))};
    window->HScroll1->setValue(37);
    QCOMPARE(window->TR->text(), QStringLiteral("0,74"));
    QVERIFY(window->XR->text().contains(QLatin1Char(',')));
    window->Text2->setText(QStringLiteral("2,5"));
    window->Calcular_Click();
    QCOMPARE(window->model.dt, 0.025);
    QCOMPARE(window->Text2->text(), QStringLiteral("2,5"));
}

// Inputs at the edge of the number range: no failure may end the program, and no infinity
// or NaN may enter the state, now or when the cursor moves later.
void CommandsTest::extremeInputsLeaveASoundState_data()
{
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::addColumn<QString>("span");
    QTest::addColumn<double>("B");
    QTest::newRow("huge initial point") << "1e300" << "5" << "2" << 0.0;
    QTest::newRow("largest double") << "-1.7976931348623157e308" << "1.7976931348623157e308" << "2" << 0.0;
    QTest::newRow("huge coefficient") << "5" << "5" << "2" << 1e308;
    QTest::newRow("huge span") << "5" << "5" << "1.7976931348623157e308" << 0.0;
    QTest::newRow("tiny span") << "5" << "5" << "4.9e-324" << 0.0;
    QTest::newRow("garbage everywhere") << "x" << "" << "--" << 0.0;
}

void CommandsTest::extremeInputsLeaveASoundState()
{
    QFETCH(QString, x);
    QFETCH(QString, y);
    QFETCH(QString, span);
    QFETCH(double, B);
    window->model.B = B;
    window->XI->setText(x);
    window->YI->setText(y);
    window->Text2->setText(span);
    window->HScroll1->setValue(-7);
    window->Calcular_Click();
    QVERIFY(sound(window->model));
    for (int c : {-100, -1, 0, 1, 100}) {
        window->HScroll1->setValue(c);
        QVERIFY(sound(window->model));
    }
    window->XYgraf_MouseDown(2, 1, 4000, 10);
    window->XYgraf_MouseDown(1, 0, -1e30f, 3e38f);
    QVERIFY(sound(window->model));
    // Regression: long numbers were shown from their end, hiding sign and first digits.
    // What the program writes is shown from its start; the read-outs cannot be typed into.
    for (QLineEdit *box : {window->TR, window->XR, window->YR, window->XI, window->YI, window->Text2})
        QCOMPARE(box->cursorPosition(), 0);
    for (QLineEdit *box : {window->TR, window->XR, window->YR})
        QVERIFY(box->isReadOnly());
    QVERIFY(window->isVisible());
    QVERIFY(!QApplication::activeModalWidget());
}

// The last resort, which no input reaches: a message in Spanish naming the failure.
void CommandsTest::unhandledFailureIsReported()
{
    DialogAnswerer answerer(QString{});
    window->reportUnhandled(Failure(Failure::Kind::Overflow, "overflow"));
    QVERIFY(answerer.seen().dialog);
    QVERIFY(answerer.seen().prompt.contains(QStringLiteral("desbordamiento")));
}

// The time plots move the time cursor through the scroll bar: a left press or drag to the
// nearest sample's column, the wheel one sample a notch, and the keys of a scroll bar, with
// PageUp and PageDown ten samples at a time.
void CommandsTest::timePlotsMoveTheCursor_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("cursor");   // from 20
    // Sample k stands at 2060 + 20 k twips: pixel column 137 holds sample 0, column 186 sample 37.
    QTest::newRow("press on sample 0") << "press 137" << 0;
    QTest::newRow("press on sample 37") << "press 186" << 37;
    QTest::newRow("press at the left edge") << "press 0" << -100;
    QTest::newRow("right button does nothing") << "right 186" << 20;
    QTest::newRow("wheel towards the user") << "wheel -2" << 22;
    QTest::newRow("Right key") << "key Right" << 21;
    QTest::newRow("PageUp key") << "key PageUp" << 10;
    QTest::newRow("End key") << "key End" << 100;
    QTest::newRow("Home key") << "key Home" << -100;
}

void CommandsTest::timePlotsMoveTheCursor()
{
    QFETCH(QString, gesture);
    QFETCH(int, cursor);
    window->HScroll1->setValue(20);
    const QStringList words = gesture.split(u' ');
    const QPoint border(2, 2);
    for (PlotSurface *plot : {window->Xgraf, window->Ygraf}) {
        window->HScroll1->setValue(20);
        if (words[0] == QLatin1String("press"))
            QTest::mouseClick(plot, Qt::LeftButton, {}, QPoint(words[1].toInt(), 50) + border);
        else if (words[0] == QLatin1String("right"))
            QTest::mouseClick(plot, Qt::RightButton, {}, QPoint(words[1].toInt(), 50) + border);
        else if (words[0] == QLatin1String("wheel")) {
            QWheelEvent wheel(QPointF(50, 50), plot->mapToGlobal(QPointF(50, 50)), {}, QPoint(0, 120 * words[1].toInt()),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(plot, &wheel);
        } else {
            const QMap<QString, Qt::Key> keys{{"Right", Qt::Key_Right}, {"PageUp", Qt::Key_PageUp},
                                              {"End", Qt::Key_End}, {"Home", Qt::Key_Home}};
            QTest::keyClick(plot, keys.value(words[1]));
        }
        QCOMPARE(window->HScroll1->value(), cursor);
        QCOMPARE(window->TR->text(), QString::number(cursor * 0.02, 'g', 15));
    }
}

// A drag made of mouse events: past the drag distance each move recomputes, one a frame, and
// the release point is the last initial point.
void CommandsTest::dragInThePhasePlaneFollowsThePointer()
{
    PlotSurface *plane = window->XYgraf;
    const QPoint border(2, 2);
    int recomputations = 0;
    connect(window->XI, &QLineEdit::textChanged, window, [&recomputations] { ++recomputations; });
    QTest::mousePress(plane, Qt::LeftButton, {}, QPoint(143, 140) + border);   // (5, 5)
    QCOMPARE(recomputations, 0);   // the press writes "5" again
    for (int step = 1; step <= 5; ++step) {
        QMouseEvent move(QEvent::MouseMove, QPointF(QPoint(143 - 10 * step, 140) + border),
                         plane->mapToGlobal(QPointF(QPoint(143 - 10 * step, 140) + border)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(plane, &move);
        QTest::qWait(40);
    }
    QVERIFY2(recomputations >= 3, qPrintable(QString::number(recomputations)));
    QTest::mouseRelease(plane, Qt::LeftButton, {}, QPoint(83, 100) + border);
    // Pixel (83, 100) spans x 2.7375..2.775 and y 6.4625..6.5: the tidiest values are 2.74, 6.5.
    QCOMPARE(window->XI->text(), QStringLiteral("2.74"));
    QCOMPARE(window->YI->text(), QStringLiteral("6.5"));
    QCOMPARE(window->model.xs(0), window->XI->text().toDouble());
    QCOMPARE(window->model.ys(0), window->YI->text().toDouble());
}

// The crosshair and the focus frame are drawn on the screen only: the kept images stay as they
// were, whichever plot has the focus.
void CommandsTest::focusNeverEntersTheKeptImages()
{
    window->XI->setFocus();
    const QImage plane = window->XYgraf->image();
    const QImage xPlot = window->Xgraf->image();
    for (PlotSurface *plot : {window->XYgraf, window->Xgraf}) {
        plot->setFocus();
        QTest::keyClick(plot, Qt::Key_Up);
        QVERIFY(plot->hasFocus());
        plot->repaint();
    }
    QCOMPARE(window->XYgraf->image(), plane);
    QCOMPARE(window->Xgraf->image(), xPlot);
}

// Kept trajectories: each recomputation keeps the one it replaced, newest first, at most 50;
// clearing or turning the option off forgets them, and a drag keeps only its first.
void CommandsTest::keptTrajectories()
{
    auto *keep = window->findChild<QAction *>(QStringLiteral("conservar"));
    auto *clear = window->findChild<QAction *>(QStringLiteral("borrarTrayectorias"));
    QVERIFY(keep && clear);
    keep->setChecked(true);
    for (int i = 1; i <= 55; ++i)
        window->XYgraf_MouseDown(1, 0, 150.0f + 40 * i, 2100);   // x = 0.1 i, y = 5
    QCOMPARE(window->state().keptTrajectories().size(), std::size_t(50));
    // The newest kept one is the trajectory from x = 5.4; a kept one stays as it was computed.
    QCOMPARE(window->state().keptTrajectories().front().xs(0), 5.4);
    window->model.B = 1;
    window->Calcular_Click();
    QCOMPARE(window->state().keptTrajectories().front().coefficients.B, 0.0);
    QCOMPARE(window->state().keptTrajectories().size(), std::size_t(50));
    clear->trigger();
    QVERIFY(window->state().keptTrajectories().empty());
    window->XYgraf_MouseDown(1, 0, 950, 2100);
    QCOMPARE(window->state().keptTrajectories().size(), std::size_t(1));
    keep->setChecked(false);
    QVERIFY(window->state().keptTrajectories().empty());

    // A drag of several steps keeps one trajectory: the one in force when it started.
    window->model.B = 0;
    keep->setChecked(true);
    PlotSurface *plane = window->XYgraf;
    const QPoint border(2, 2);
    QTest::mousePress(plane, Qt::LeftButton, {}, QPoint(143, 140) + border);
    const std::size_t afterPress = window->state().keptTrajectories().size();
    for (int step = 1; step <= 4; ++step) {
        const QPointF at(QPoint(143 - 10 * step, 140) + border);
        QMouseEvent move(QEvent::MouseMove, at, plane->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(plane, &move);
        QTest::qWait(40);
    }
    QTest::mouseRelease(plane, Qt::LeftButton, {}, QPoint(100, 140) + border);
    QCOMPARE(window->state().keptTrajectories().size(), afterPress + 1);
    keep->setChecked(false);
}

// Options of the plots: joined samples add ink but never join across an invalid sample; the
// turning-point keys move the time cursor only while the marks are shown.
void CommandsTest::plotOptions_data()
{
    QTest::addColumn<QString>("x0");
    QTest::addColumn<QString>("span");
    QTest::addColumn<bool>("joinAddsInk");
    QTest::newRow("far-apart samples of the orbit") << "5" << "100" << true;
    QTest::newRow("only sample 0 valid") << "25" << "2" << false;
}

void CommandsTest::plotOptions()
{
    QFETCH(QString, x0);
    QFETCH(QString, span);
    QFETCH(bool, joinAddsInk);
    auto *join = window->findChild<QAction *>(QStringLiteral("unirPuntos"));
    auto *turning = window->findChild<QAction *>(QStringLiteral("extremos"));
    auto *next = window->findChild<QAction *>(QStringLiteral("siguienteExtremo"));
    window->XI->setText(x0);
    window->Text2->setText(span);
    window->Calcular_Click();
    const QImage plain = window->XYgraf->image();
    join->setChecked(true);
    const QImage joined = window->XYgraf->image();
    join->setChecked(false);
    QCOMPARE(window->XYgraf->image(), plain);
    QCOMPARE(joined != plain, joinAddsInk);

    QVERIFY(!next->isEnabled());
    turning->setChecked(true);
    QVERIFY(next->isEnabled());
    next->trigger();
    const auto &points = window->state().turningPoints();
    const int expected = points.empty() ? 0 : std::find_if(points.begin(), points.end(), [](const TurningPoint &p) {
                                                  return p.sample > 0;
                                              })->sample;
    QCOMPARE(window->HScroll1->value(), expected);
    turning->setChecked(false);
}

// Regression: a text box took Ctrl+E as "end of line", and with the turning points shown
// Ctrl+arrows in the phase plane jumped between them instead of moving the crosshair.
void CommandsTest::ctrlKeysReachTheirTarget_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");   // pressed with Ctrl
    QTest::addColumn<QString>("outcome");
    QTest::newRow("Ctrl+E in XI") << "XI" << int(Qt::Key_E) << "asked: Exportar datos";
    QTest::newRow("Ctrl+E in the span box") << "Text2" << int(Qt::Key_E) << "asked: Exportar datos";
    QTest::newRow("Ctrl+E in a read-out") << "TR" << int(Qt::Key_E) << "asked: Exportar datos";
    QTest::newRow("Ctrl+S in YI") << "YI" << int(Qt::Key_S) << "asked: Guardar imagen";
    // A text box's own Ctrl+D deletes a character; the window's opens data.
    QTest::newRow("Ctrl+D in XI") << "XI" << int(Qt::Key_D) << "asked: Abrir datos";
    QTest::newRow("Ctrl+Right in the phase plane") << "XYgraf" << int(Qt::Key_Right) << "crosshair moved 10";
    QTest::newRow("Ctrl+Left in the phase plane") << "XYgraf" << int(Qt::Key_Left) << "crosshair moved -10";
    QTest::newRow("Ctrl+Right in a time plot") << "Xgraf" << int(Qt::Key_Right) << "cursor on the next turning point";
    QTest::newRow("Ctrl+Right on Calcular") << "Calcular" << int(Qt::Key_Right) << "cursor on the next turning point";
    QTest::newRow("Ctrl+Z in XI") << "XI" << int(Qt::Key_Z) << "typing undone";
    QTest::newRow("Ctrl+Z on Calcular") << "Calcular" << int(Qt::Key_Z) << "option undone";
    QTest::newRow("Ctrl+Z in a read-out") << "TR" << int(Qt::Key_Z) << "option undone";
}

void CommandsTest::ctrlKeysReachTheirTarget()
{
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(QString, outcome);
    window->Text2->setText(QStringLiteral("10"));
    window->Calcular_Click();
    window->findChild<QAction *>(QStringLiteral("extremos"))->setChecked(true);
    const auto &points = window->state().turningPoints();
    const auto next = std::find_if(points.begin(), points.end(), [](const TurningPoint &p) { return p.sample > 0; });
    QVERIFY(next != points.end());
    QString asked;
    window->exports->askSaveFileName = [&asked](const QString &caption, const QString &, const QString &, QString *) {
        asked = caption;
        return QString();
    };
    window->data->askOpenFileName = [&asked](const QString &caption, const QString &, const QString &) {
        asked = caption;
        return QString();
    };
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto *target = window->findChild<QWidget *>(control);
    target->setFocus();
    const QPoint marker = window->XYgraf->markerPixel();
    QTest::keyClicks(window->XI, QStringLiteral("7"));   // typed at the end of XI, not applied
    QTest::keyClick(target, Qt::Key(key), Qt::ControlModifier);

    const int cursor = window->HScroll1->value(), moved = window->XYgraf->markerPixel().x() - marker.x();
    const bool turning = window->state().option(ExplorerState::Option::TurningPoints);
    const QString seen = !asked.isEmpty() ? QStringLiteral("asked: ") + asked
        : !turning                        ? QStringLiteral("option undone")
        : window->XI->text() == QStringLiteral("5") ? QStringLiteral("typing undone")
        : moved != 0 && cursor == 0       ? QStringLiteral("crosshair moved %1").arg(moved)
        : cursor == next->sample          ? QStringLiteral("cursor on the next turning point")
                                          : QStringLiteral("nothing");
    QCOMPARE(seen, outcome);
}

void CommandsTest::undoTakesBackEachKindOfStep_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("undoText");
    QTest::newRow("coefficient by its dialog") << "dialog" << "Deshacer: cambiar B";
    QTest::newRow("press in the phase plane") << "press" << "Deshacer: nuevo punto inicial";
    QTest::newRow("drag in the phase plane") << "drag" << "Deshacer: nuevo punto inicial";
    QTest::newRow("typed point and Calcular") << "typed" << "Deshacer: nuevo punto inicial";
    QTest::newRow("span") << "span" << "Deshacer: cambiar el intervalo de tiempo";
    QTest::newRow("slider dragged") << "slider" << "Deshacer: cambiar B";
    QTest::newRow("example") << "example" << "Deshacer: modelo de ejemplo";
    QTest::newRow("kept trajectories cleared") << "clear" << "Deshacer: borrar trayectorias";
    QTest::newRow("option") << "option" << "Deshacer: activar «Isoclinas cero»";
    QTest::newRow("view, three steps in a row") << "view" << "Deshacer: cambiar la vista";
    QTest::newRow("ecological slider dragged") << "ecological slider" << "Deshacer: cambiar K₂";
    QTest::newRow("ecological form") << "ecological form" << "Deshacer: cambiar la forma ecológica";
    QTest::newRow("data file opened") << "data file" << "Deshacer: abrir datos";
    QTest::newRow("built-in data") << "data example" << "Deshacer: abrir datos";
    QTest::newRow("data removed") << "data removed" << "Deshacer: quitar datos";
    QTest::newRow("data unit") << "data unit" << "Deshacer: cambiar la unidad de los datos";
}

// Guards undo and redo: each kind of change is one step, named, and taking it back or doing it
// again gives the state and the three plots exactly as they were.
void CommandsTest::undoTakesBackEachKindOfStep()
{
    QFETCH(QString, change);
    QFETCH(QString, undoText);
    QAction *undo = window->action(WindowAction::Undo);
    QAction *redo = window->action(WindowAction::Redo);
    QVERIFY(!undo->isEnabled());   // nothing to take back at start
    const bool ecological = change.startsWith(QLatin1String("ecological"));
    if (ecological) {
        window->findChild<QAction *>(QStringLiteral("modelo_competencia_exclusion"))->trigger();
        window->analysis->showAnalysisWindow();
    }
    window->findChild<QAction *>(QStringLiteral("conservar"))->trigger();
    window->XYgraf_MouseDown(1, 0, 1450, 2600);
    if (change == QLatin1String("data removed") || change == QLatin1String("data unit")) {
        window->findChild<QAction *>(QStringLiteral("datosSinteticos"))->trigger();
        QCoreApplication::processEvents();
    }
    window->HScroll1->setValue(17);   // the cursor is no step, but comes back with one
    QCoreApplication::processEvents();
    const QByteArray before = exactState(*window);
    const QList<QImage> picturesBefore = plotImages(*window);
    const QString undoBefore = undo->text();

    const QPoint border(2, 2);
    if (change == QLatin1String("dialog")) {
        DialogAnswerer answerer(QStringLiteral("0.5"));
        window->par_Click(1);
    } else if (change == QLatin1String("press")) {
        window->XYgraf_MouseDown(1, 0, 950, 2100);
    } else if (change == QLatin1String("drag")) {
        QTest::mousePress(window->XYgraf, Qt::LeftButton, {}, QPoint(143, 140) + border);
        for (int x = 150; x <= 190; x += 10) {
            QMouseEvent move(QEvent::MouseMove, QPointF(QPoint(x, 120) + border), window->XYgraf->mapToGlobal(QPointF(QPoint(x, 120) + border)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(window->XYgraf, &move);
            QCoreApplication::processEvents();
        }
        const QByteArray during = exactState(*window);
        undo->trigger();   // waits for the drag's end
        QCOMPARE(exactState(*window), during);
        QTest::mouseRelease(window->XYgraf, Qt::LeftButton, {}, QPoint(190, 120) + border);
    } else if (change == QLatin1String("typed")) {
        window->XI->setText(QStringLiteral("3"));
        window->Calcular_Click();
    } else if (change == QLatin1String("span")) {
        window->Text2->setText(QStringLiteral("5"));
        window->Calcular_Click();
    } else if (change == QLatin1String("slider")) {
        ParameterExploration *live = window->analysis->exploration();
        live->beginDrag();
        for (double b : {-0.25, -0.5, -0.75}) {
            live->setCoefficient(1, b, true);
            QCoreApplication::processEvents();
        }
        live->finishDrag();
    } else if (change == QLatin1String("ecological slider")) {
        auto *slider = window->analysis->analysisWindow()->findChild<QSlider *>(QStringLiteral("deslizador_K2"));
        slider->setSliderDown(true);
        for (int position : {520, 540, 560}) {
            slider->setValue(position);
            QTest::qWait(20);
        }
        slider->setSliderDown(false);
        QCOMPARE(window->state().keptTrajectories().size(), std::size_t(2));   // the press's and the drag's
    } else if (change == QLatin1String("ecological form")) {
        QTest::keyClick(window->analysis->analysisWindow()->findChild<QComboBox *>(QStringLiteral("formaEcologica")),
                        Qt::Key_Down);
        QCOMPARE(window->state().ecologicalForm(), EcologicalForm::PredatorPrey);
    } else if (change == QLatin1String("example")) {
        window->findChild<QAction *>(QStringLiteral("modelo_competencia_exclusion"))->trigger();
    } else if (change == QLatin1String("clear")) {
        window->findChild<QAction *>(QStringLiteral("borrarTrayectorias"))->trigger();
    } else if (change == QLatin1String("option")) {
        window->findChild<QAction *>(QStringLiteral("isoclinas"))->trigger();
    } else if (change == QLatin1String("data file")) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("datos.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("t;x;y\n1900;1,5;2\n1901;;2,5\n1902;3;1\n") > 0);
        file.close();
        window->data->askOpenFileName = [path](const QString &, const QString &, const QString &) { return path; };
        window->action(WindowAction::OpenData)->trigger();
    } else if (change == QLatin1String("data example")) {
        window->findChild<QAction *>(QStringLiteral("datosLinceLiebre"))->trigger();
    } else if (change == QLatin1String("data removed")) {
        window->findChild<QAction *>(QStringLiteral("quitarDatos"))->trigger();
    } else if (change == QLatin1String("data unit")) {
        DialogAnswerer answerer(QStringLiteral("-1"));
        window->findChild<QAction *>(QStringLiteral("unidadDatos"))->trigger();
    } else if (change == QLatin1String("view")) {
        for (const char *name : {"acercar", "desplazarIzquierda", "acercar"})
            window->findChild<QAction *>(QString::fromLatin1(name))->trigger();
    }
    QCoreApplication::processEvents();
    const QByteArray after = exactState(*window);
    const QList<QImage> picturesAfter = plotImages(*window);
    QVERIFY(after != before);
    QCOMPARE(undo->text(), undoText);

    if (change == QLatin1String("slider")) {
        // From the window the slider is in, as from the main one.
        window->findChild<QAction *>(QStringLiteral("analisis"))->trigger();
        QWidget *analysisWindow = window->analysis->analysisWindow();
        QApplication::setActiveWindow(analysisWindow);
        QVERIFY(QTest::qWaitForWindowActive(analysisWindow));
        QTest::keyClick(analysisWindow, Qt::Key_Z, Qt::ControlModifier);
    } else {
        undo->trigger();
    }
    QCOMPARE(exactState(*window), before);
    QCOMPARE(plotImages(*window), picturesBefore);
    QCOMPARE(undo->text(), undoBefore);   // one step: the one before it is next
    QCOMPARE(redo->text(), QString(undoText).replace(QStringLiteral("Deshacer"), QStringLiteral("Rehacer")));

    redo->trigger();
    QCOMPARE(exactState(*window), after);
    QCOMPARE(plotImages(*window), picturesAfter);
    QVERIFY(!redo->isEnabled());
}

// Guards the history's bound: past 200 steps the oldest are forgotten, the newest kept; and
// view moves that come back where they began leave no step.
void CommandsTest::undoKeepsTheNewestSteps()
{
    QAction *undo = window->action(WindowAction::Undo);
    QAction *nullclines = window->findChild<QAction *>(QStringLiteral("isoclinas"));
    // Moves of the view in a row are one step, none when they come back where they began.
    for (const char *name : {"acercar", "desplazarIzquierda", "vistaInicial"}) {
        window->findChild<QAction *>(QString::fromLatin1(name))->trigger();
        QCoreApplication::processEvents();
    }
    QVERIFY(!undo->isEnabled());
    for (int i = 0; i < 205; ++i) {
        nullclines->trigger();
        QCoreApplication::processEvents();
    }
    QVERIFY(nullclines->isChecked());   // 205 switches: on
    int undone = 0;
    while (undo->isEnabled() && undone < 300) {
        undo->trigger();
        ++undone;
    }
    QCOMPARE(undone, 200);
    QVERIFY(nullclines->isChecked());   // 5 switches before the oldest step kept
}

void CommandsTest::openingData_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");   // none: no file; "/": a folder
    QTest::addColumn<QString>("refusal");    // empty: opened
    QTest::addColumn<QStringList>("start");  // XI, YI and the span box once opened
    QTest::newRow("pelts-like, commas") << "pieles.csv" << QByteArray("año,liebre,lince\n1900,30,4\n1901,47.2,6.1\n1910,27.1,7.4\n")
                                        << "" << QStringList{"3", "0.4", "10"};
    QTest::newRow("tabs, decimal commas, first x missing") << "t.tsv" << QByteArray("t\tx\ty\n0\t\t1,5\n0,5\t2\t1\n1\t4\t2\n")
                                                           << "" << QStringList{"2", "1.5", "1"};
    // The trajectory starts at the observation to the last bit, not at a rounded text of it.
    QTest::newRow("a value of sixteen digits") << "largo.csv" << QByteArray("t,x,y\n0,2.3456789012345678,1\n1,1,1\n2,1,1\n")
                                      << "" << QStringList{"2.345678901234568", "1", "2"};
    QTest::newRow("two rows") << "dos.csv" << QByteArray("t,x,y\n0,1,1\n1,2,2\n") << "línea" << QStringList();
    QTest::newRow("time going back") << "atras.csv" << QByteArray("t,x,y\n0,1,1\n2,1,1\n1,1,1\n") << "línea 4"
                                     << QStringList();
    QTest::newRow("negative population") << "neg.csv" << QByteArray("t,x,y\n0,1,1\n1,-1,1\n2,1,1\n") << "línea 3"
                                         << QStringList();
    QTest::newRow("not a number") << "texto.csv" << QByteArray("t,x,y\n0,1,1\n1,uno,1\n2,1,1\n") << "línea 3"
                                  << QStringList();
    QTest::newRow("missing file") << "no-existe.csv" << QByteArray() << "no existe" << QStringList();
    QTest::newRow("a folder") << "carpeta.csv" << QByteArray("/") << "es una carpeta" << QStringList();
}

// Guards opening data through Ctrl+D: a good file starts the trajectory at its first
// observations and runs it to the last, as one step; a bad one is told, naming the file, and
// changes nothing.
void CommandsTest::openingData()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, refusal);
    QFETCH(QStringList, start);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (bytes == "/") {
        QVERIFY(QDir(dir.path()).mkdir(name));
    } else if (!bytes.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    QAction *removal = window->findChild<QAction *>(QStringLiteral("quitarDatos"));
    QVERIFY(!removal->isEnabled());
    const QByteArray before = exactState(*window);
    window->data->askOpenFileName = [path](const QString &, const QString &, const QString &) { return path; };
    DialogAnswerer answerer(QString{});
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->Calcular, Qt::Key_D, Qt::ControlModifier);
    QCoreApplication::processEvents();
    QAction *undo = window->action(WindowAction::Undo);
    if (!refusal.isEmpty()) {
        QCOMPARE(answerer.seen().title, QStringLiteral("Abrir datos"));
        const QString prompt = answerer.seen().prompt;
        QVERIFY2(prompt.startsWith(QStringLiteral("No se pueden abrir los datos «%1»: ").arg(name)) && prompt.contains(refusal),
                 qPrintable(prompt));
        QCOMPARE(exactState(*window), before);
        QVERIFY(!undo->isEnabled() && !removal->isEnabled());
        return;
    }
    QVERIFY(!answerer.seen().dialog);
    QVERIFY(window->state().observations());
    QCOMPARE((QStringList{window->XI->text(), window->YI->text(), window->Text2->text()}), start);
    QCOMPARE(window->model.xs(0), start[0].toDouble());
    QCOMPARE(window->model.ys(0), start[1].toDouble());
    QVERIFY(removal->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("Deshacer: abrir datos"));
    undo->trigger();
    QCOMPARE(exactState(*window), before);
    QVERIFY(!removal->isEnabled());
}

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
