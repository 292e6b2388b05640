// The analysis layer in the window: nothing changes while it is off, each overlay draws where
// it should, the context menu's reach, the actions and their keys, the analysis window.
#include "display/analysis/analysis_window.h"
#include "display/analysis/coefficient_controls.h"
#include "display/analysis/fit_section.h"
#include "display/analysis/help_window.h"
#include "display/analysis/overlays/legend_painter.h"
#include "display/analysis/overlays/level_curves_painter.h"
#include "display/analysis/overlays/overlay_style.h"
#include "display/analysis/overlays/phase_geometry.h"
#include "display/analysis/overlays/scale_painter.h"
#include "display/bifurcation/bifurcation_canvas.h"
#include "display/bifurcation/bifurcation_window.h"
#include "display/regime/regime_map.h"
#include "display/regime/regime_window.h"
#include "display/controls/clickable_label.h"
#include "display/export/plot_picture.h"
#include "display/plots/plot_mapping.h"
#include "display/plots/plot_surface.h"
#include "display/plots/tick_step.h"
#include "display/toolkit/conversions.h"
#include "display/toolkit/palette.h"
#include "display/views/basin_map.h"
#include "display/views/plot_views.h"
#include "interaction/analysis/analysis_layer.h"
#include "interaction/analysis/fit_actions.h"
#include "interaction/analysis/parameter_exploration.h"
#include "interaction/prog.h"
#include "model/analysis/examples.h"
#include "model/analysis/regime.h"
#include "model/data/synthetic.h"
#include "model/ecology/example_forms.h"
#include "tests/dialog_answerer.h"
#include "tests/scoped_locale.h"
#include "tests/watchdog.h"

#include <QAction>
#include <QClipboard>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QTableWidget>
#include <QRegularExpression>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <bit>
#include <cmath>
#include <memory>
#include <random>
#include <tuple>

Q_DECLARE_METATYPE(Coefficients)
Q_DECLARE_METATYPE(PlaneView)

namespace {

using namespace plot_mapping;

// The logical pixel of a position in twips.
QPoint cell(double xTwips, double yTwips)
{
    return QPoint(int(std::floor(xTwips / 15)), int(std::floor(yTwips / 15)));
}

QAction *action(const Prog &window, const char *name)
{
    return window.findChild<QAction *>(QString::fromLatin1(name));
}

void setOverlays(Prog &window, bool on)
{
    for (const char *name : {"isoclinas", "equilibrios", "campo", "escalas"})
        action(window, name)->setChecked(on);
}

QImage images(const Prog &window)
{
    // The three kept drawings side by side, so that one comparison covers them all.
    const QImage &phase = window.XYgraf->image();
    QImage all(phase.width() + 2 * window.Xgraf->image().width(), phase.height(), QImage::Format_RGB32);
    all.fill(Qt::magenta);
    QPainter painter(&all);
    painter.drawImage(0, 0, phase);
    painter.drawImage(phase.width(), 0, window.Xgraf->image());
    painter.drawImage(phase.width() + window.Xgraf->image().width(), 0, window.Ygraf->image());
    return all;
}

// The same trajectory, bit for bit, valid samples alike.
bool sameTrajectory(const Model &a, const Model &b)
{
    for (int k = kFirstSample; k <= kLastSample; ++k)
        if (a.ok(k) != b.ok(k) || (a.ok(k) && (a.xs(k) != b.xs(k) || a.ys(k) != b.ys(k))))
            return false;
    return true;
}

CoefficientControls *liveControls(Prog &window)
{
    window.analysis->showAnalysisWindow();
    return window.analysis->analysisWindow()->coefficientControls();
}

// Which menu a context-menu request to the control opens ("analysis", the control's "own" or
// "none"), closing it again. A menu that runs its own event loop is closed from within it.
QString menuOpenedBy(QWidget *control, QContextMenuEvent::Reason reason)
{
    QString seen = QStringLiteral("none");
    auto closeOpenMenu = [&seen] {
        QWidget *popup = QApplication::activePopupWidget();
        if (!popup)
            return;
        seen = popup->objectName() == QLatin1String("menuAnalisis") ? QStringLiteral("analysis")
                                                                     : QStringLiteral("own");
        popup->close();
    };
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, closeOpenMenu);
    closer.start(20);
    const QPoint middle = control->rect().center();
    QContextMenuEvent request(reason, middle, control->mapToGlobal(middle));
    QApplication::sendEvent(control, &request);
    closeOpenMenu();
    return seen;
}

// The noisy synthetic series shown, and the coefficients set 30 % off the truth (B and F, zero
// there, at -0.3), so that a fit has somewhere to go.
void showSyntheticSeriesOffTheTruth(Prog &window)
{
    // The truth's initial point and span are the first example's.
    action(window, qPrintable(QStringLiteral("modelo_") + QString::fromLatin1(exampleSystems().front().id)))->trigger();
    QVERIFY(window.state().setObservations(synthetic::noisySeries()));
    const Coefficients truth = synthetic::truth().coefficients;
    const double off[6] = {truth.A * 1.3, -0.3, truth.C * 1.3, truth.D * 0.7, truth.E * 1.3, -0.3};
    for (int i = 0; i < 6; ++i)
        window.analysis->exploration()->setCoefficient(i, off[i]);
}

} // namespace

class AnalysisTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void everythingOffAtStart();
    void optionsTurnedOffLeaveTheDesignedPixels();
    void levelCurvesAndTheirClaims_data();
    void levelCurvesAndTheirClaims();
    void eachOverlayDrawsWhereItShould_data();
    void eachOverlayDrawsWhereItShould();
    void roundSteps_data();
    void roundSteps();
    void scaleLabelsKeepClear_data();
    void scaleLabelsKeepClear();
    void contextMenuReach_data();
    void contextMenuReach();
    void actionsAndKeys_data();
    void actionsAndKeys();
    void helpNamesEachKey_data();
    void helpNamesEachKey();
    void legendListsWhatIsShown_data();
    void legendListsWhatIsShown();
    void legendTakesTheQuietestCorner_data();
    void legendTakesTheQuietestCorner();
    void legendKeepsWithinASixthAndMoves();
    void analysisWindowDescribesTheSystemInForce();
    void equilibriaTableShowsEveryRow_data();
    void equilibriaTableShowsEveryRow();
    void turningPointsAndPeriod();
    void periodLabel_data();
    void periodLabel();
    void tooltipOfAnEquilibrium();
    void liveBoxShowsItsCoefficientExactly_data();
    void liveBoxShowsItsCoefficientExactly();
    void liveEditMatchesDialogThenCalcular_data();
    void liveEditMatchesDialogThenCalcular();
    void sliderDragRecomputesOncePerFrame();
    void basinsTintEachNodesSide();
    void basinsLeaveQtsPoolFree_data();
    void basinsLeaveQtsPoolFree();
    void exampleModels_data();
    void exampleModels();
    void diagramClickSetsTheCoefficient();
    void mapClickSetsBothCoefficients_data();
    void mapClickSetsBothCoefficients();
    void fitToTheData_data();
    void fitToTheData();
    void estimateWithAFormIgnoresTheHiddenLetters();
    void fitCancelledLeavesTheCoefficients_data();
    void fitCancelledLeavesTheCoefficients();
    void saveDialogOpensOverTheWindowThatAsked_data();
    void saveDialogOpensOverTheWindowThatAsked();
    void windowsOpenOnTheScreenBesideTheMainWindow_data();
    void windowsOpenOnTheScreenBesideTheMainWindow();
};

void AnalysisTest::everythingOffAtStart()
{
    Prog window;
    window.Form_Load();
    const OverlayOptions o = overlayOptionsOf(window.state());
    QVERIFY(!o.anyInPhasePlane() && !o.anyInTimePlots());
    QVERIFY(!window.analysis->analysisWindow());
    QVERIFY(!window.analysis->helpWindow());
}

// Turned on and off again around a recomputation, the overlays leave each plot exactly as a
// window that never had them.
void AnalysisTest::optionsTurnedOffLeaveTheDesignedPixels()
{
    Prog plain, used;
    plain.Form_Load();
    used.Form_Load();
    setOverlays(used, true);
    QVERIFY(images(used) != images(plain));
    used.XYgraf_MouseDown(1, 0, 1350, 2900);
    setOverlays(used, false);
    plain.XYgraf_MouseDown(1, 0, 1350, 2900);
    QCOMPARE(images(used), images(plain));
    // Off, the plots hold only the base colour and the trajectory's ink.
    const QImage &image = used.XYgraf->image();
    const QRgb base = used.XYgraf->palette().color(QPalette::Base).rgb();
    const QRgb ink = used.XYgraf->palette().color(QPalette::Text).rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QVERIFY(image.pixel(x, y) == base || image.pixel(x, y) == ink);
}

void AnalysisTest::levelCurvesAndTheirClaims_data()
{
    QTest::addColumn<QString>("example");
    QTest::addColumn<bool>("drawn");
    QTest::addColumn<QString>("claim");   // the analysis window's label on it
    QTest::newRow("predator–prey: H") << "depredador_presa" << true << "derivaH";
    QTest::newRow("logistic prey: V") << "presa_logistica" << true
                                      << "(2, 1) es estable globalmente en el primer cuadrante (función de Lyapunov con c₁ = 1 y c₂ = 1)";
    QTest::newRow("exclusion: an unstable interior point") << "competencia_exclusion" << false
                                          << "(2, 3) es inestable (punto de silla): no hay estabilidad global";
}

// Guards the level curves (the orbit itself where H exists) and the analysis window's claims:
// the drift of H on the default trajectory to rounding, a stability claimed only where proved.
void AnalysisTest::levelCurvesAndTheirClaims()
{
    QFETCH(QString, example);
    QFETCH(bool, drawn);
    QFETCH(QString, claim);
    const QLocale::Language language = QLocale().language();
    Prog window;
    window.Form_Load();
    action(window, qPrintable(QStringLiteral("modelo_") + example))->trigger();
    action(window, "analisis")->trigger();
    AnalysisWindow *shown = window.analysis->analysisWindow();
    if (claim == QLatin1String("derivaH")) {
        const auto *label = shown->findChild<QLabel *>(QStringLiteral("derivaH"));
        QVERIFY(label->isVisibleTo(shown));
        QVERIFY(label->text().startsWith(QStringLiteral("Deriva relativa de H en la trayectoria: ")));
        bool ok = false;
        const double drift = QLocale().toDouble(label->toolTip(), &ok);
        QVERIFY2(ok && drift > 0 && drift < 1e-9, qPrintable(label->toolTip()));
        // It says what the drift is relative to.
        QCOMPARE(label->text(), QStringLiteral("Deriva relativa de H en la trayectoria: %1 (el mayor |H(t) − H(0)| "
                                               "respecto de |D ln x₀| + |E x₀| + |A ln y₀| + |C y₀| en el punto inicial)")
                                    .arg(QLocale().toString(drift, 'g', 2)));
    } else if (language == QLocale::C || language == QLocale::English || language == QLocale::Spanish) {
        QCOMPARE(shown->findChild<QLabel *>(QStringLiteral("lyapunov"))->text(), withPointsInLocale(claim));
    }

    // Painted alone: the curve through the initial point follows the orbit where H exists.
    QImage image(QSize(283, 283), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paintLevelCurves(painter, QSizeF(image.size()), PlotMapping{}, window.state().system().coefficients,
                         window.model.xs(0), window.model.ys(0));
    }
    int inked = 0, near = 0, samples = 0, gaps = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inked += image.pixel(x, y) != qRgb(255, 255, 255);
    QCOMPARE(inked > 0, drawn);
    if (example != QLatin1String("depredador_presa"))
        return;
    for (int k = kFirstSample; k <= kLastSample; ++k) {
        const QPoint at = cell(phaseX(window.model.xs(k)), phaseY(window.model.ys(k)));
        if (!window.model.ok(k) || !image.rect().adjusted(1, 1, -1, -1).contains(at))
            continue;
        ++samples;
        gaps += image.pixel(at) == qRgb(255, 255, 255);
        bool found = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                found = found || image.pixel(at + QPoint(dx, dy)) != qRgb(255, 255, 255);
        near += found;
    }
    // Within a pixel of the curve through the initial point (dashes may leave a few gaps).
    QVERIFY2(near >= samples * 9 / 10, qPrintable(QStringLiteral("%1 of %2").arg(near).arg(samples)));
    // Dashed along the curve: the pattern runs on from cell to cell, so gaps fall on the orbit.
    QVERIFY2(gaps >= samples / 10, qPrintable(QStringLiteral("%1 gaps of %2").arg(gaps).arg(samples)));
}

void AnalysisTest::eachOverlayDrawsWhereItShould_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("plot");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("tolerance");   // per channel, for smoothed drawing
    using namespace overlay_style;
    // The defaults: x' = 0 is the line y = 4, y' = 0 the line x = 4.
    QTest::newRow("x' = 0") << "isoclinas" << "XYgraf" << cell(phaseX(8), phaseY(4)) << kXNullcline << 0;
    QTest::newRow("y' = 0") << "isoclinas" << "XYgraf" << cell(phaseX(4), phaseY(8)) << kYNullcline << 0;
    // The saddle's cross at the origin, on its rising diagonal.
    QTest::newRow("saddle at (0, 0)") << "equilibrios" << "XYgraf" << cell(phaseX(0), phaseY(0)) + QPoint(-2, 2)
                                      << kEquilibrium << 60;
    // The arrow at the grid point half a spacing from both axes points along +x: x' = 0.375·3.625 > 0,
    // y' = 0.375·(-3.625) < 0, so down to the right; its middle is on the grid point.
    QTest::newRow("arrow") << "campo" << "XYgraf" << QPoint(20, int(4100 / 15.0 - 10)) << kField << 70;
    QTest::newRow("tick at x = 5") << "escalas" << "XYgraf" << cell(phaseX(5), phaseY(0)) + QPoint(0, -2) << kScale << 0;
    QTest::newRow("tick at y = 7") << "escalas" << "XYgraf" << cell(phaseX(0), phaseY(7)) + QPoint(2, 0) << kScale << 0;
    QTest::newRow("tick at value 5") << "escalas" << "Xgraf" << cell(timeX(0), valueY(5)) + QPoint(-2, 0) << kScale << 0;
    // The origin's unstable manifold runs along the x axis, its stable one up the y axis.
    QTest::newRow("unstable separatrix on the x axis") << "separatrices" << "XYgraf" << cell(phaseX(8), phaseY(0))
                                                       << kUnstableSeparatrix << 40;
    // dt = 0.02: ticks every 0.5, so t = 1 at sample 50.
    QTest::newRow("tick at t = 1") << "escalas" << "Ygraf" << cell(timeX(50), valueY(0)) + QPoint(0, -2) << kScale << 0;
}

void AnalysisTest::eachOverlayDrawsWhereItShould()
{
    QFETCH(QString, option);
    QFETCH(QString, plot);
    QFETCH(QPoint, pixel);
    QFETCH(QColor, colour);
    QFETCH(int, tolerance);
    Prog window;
    window.Form_Load();
    auto *surface = window.findChild<PlotSurface *>(plot);
    const QRgb base = surface->palette().color(QPalette::Base).rgb();
    QCOMPARE(surface->image().pixel(pixel), base);
    action(window, qPrintable(option))->setChecked(true);
    const QColor seen = surface->image().pixelColor(pixel);
    const bool near = std::abs(seen.red() - colour.red()) <= tolerance
        && std::abs(seen.green() - colour.green()) <= tolerance && std::abs(seen.blue() - colour.blue()) <= tolerance;
    QVERIFY2(near, qPrintable(seen.name()));
    // Under the trajectory: the cursor's thick dot at (5, 5) is drawn over everything.
    setOverlays(window, true);
    const QPoint dot = cell(phaseX(5), phaseY(5));
    QCOMPARE(window.XYgraf->image().pixel(dot), window.XYgraf->palette().color(QPalette::Text).rgb());
}

void AnalysisTest::roundSteps_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<bool>("scaledPower");   // the bifurcation diagram's form
    QTest::addColumn<double>("step");
    QTest::newRow("one") << 1.0 << false << 1.0;
    QTest::newRow("up to two") << 1.2 << false << 2.0;
    QTest::newRow("up to five") << 2.0000001 << false << 5.0;
    QTest::newRow("up to ten") << 5.5 << false << 10.0;
    QTest::newRow("the default time step's ticks, dt = 0.02") << 0.42 << false << 0.5;
    QTest::newRow("small") << 6.3e-6 << false << 1e-5;
    QTest::newRow("large") << 7e300 << false << 1e301;
    QTest::newRow("beyond a double") << 1.5e308 << false << 0.0;
    QTest::newRow("zero") << 0.0 << false << 0.0;
    QTest::newRow("negative") << -1.0 << false << 0.0;
    QTest::newRow("not a number") << std::nan("") << false << 0.0;
    // The bifurcation diagram's ticks stay where they were drawn, to the last bit: 10 × 1e-6
    // and 5 × 1e-6 as std::pow gives 1e-6, not the doubles nearest 1e-5 and 5e-6.
    QTest::newRow("diagram, up to ten") << 6.3e-6 << true << 9.999999999999999e-06;
    QTest::newRow("diagram, up to five") << 4.2e-6 << true << 4.9999999999999996e-06;
    QTest::newRow("diagram, beyond a double") << 1.5e308 << true << 0.0;
}

void AnalysisTest::roundSteps()
{
    QFETCH(double, minimum);
    QFETCH(bool, scaledPower);
    QFETCH(double, step);
    const double got = roundStepAtLeast(minimum, scaledPower ? StepForm::ScaledPower : StepForm::NearestDecimal);
    QCOMPARE(got, step);
    // To the last bit, which QCOMPARE of two doubles overlooks.
    QCOMPARE(std::bit_cast<quint64>(got), std::bit_cast<quint64>(step));
}

void AnalysisTest::scaleLabelsKeepClear_data()
{
    QTest::addColumn<bool>("phasePlane");
    QTest::addColumn<double>("dt");
    QTest::addColumn<int>("least");   // numbers that still fit
    QTest::addColumn<PlaneView>("view");
    QTest::newRow("phase plane") << true << 0.0 << 19 << PlaneView{};
    QTest::newRow("time plot, dt = 0.02") << false << 0.02 << 15 << PlaneView{};
    QTest::newRow("time plot, dt = 0.03") << false << 0.03 << 15 << PlaneView{};
    QTest::newRow("time plot, dt = 7") << false << 7.0 << 15 << PlaneView{};
    QTest::newRow("time plot, dt = 0.37") << false << 0.37 << 15 << PlaneView{};
    QTest::newRow("time plot, dt = 1e298") << false << 1e298 << 13 << PlaneView{};
    QTest::newRow("time plot, dt = 3e-300") << false << 3e-300 << 13 << PlaneView{};
    QTest::newRow("time plot, dt = 123456.789") << false << 123456.789 << 13 << PlaneView{};
    // Regression: one index ran over both axes' ticks, from about -2e8 to 2e8, and the window
    // froze for seconds.
    const PlaneView corner{plane_view::kBound - plane_view::kNarrowest, -plane_view::kBound, plane_view::kNarrowest};
    QTest::newRow("phase plane, deepest zoom at a corner") << true << 0.0 << 12 << corner;
    QTest::newRow("time plot, deepest zoom at a corner") << false << 0.02 << 15 << corner;
    QTest::newRow("phase plane, deepest zoom on the x axis")
        << true << 0.0 << 13 << PlaneView{plane_view::kBound - plane_view::kNarrowest, 0, plane_view::kNarrowest};
}

// Regression: "10" was written over "9", and "-3" and "1e+300" were cut by the border. The
// numbers of a scale lie inside the drawing area, a pixel off its border, clear of each other
// and of the axis lines.
void AnalysisTest::scaleLabelsKeepClear()
{
    QFETCH(bool, phasePlane);
    QFETCH(double, dt);
    QFETCH(int, least);
    QFETCH(PlaneView, view);
    const QSize area = plot_picture::drawingArea(phasePlane ? PlotKind::PhasePlane : PlotKind::XAgainstTime).size();
    QImage image(area, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const PlotMapping m = mappingFor(view);
    std::vector<QRectF> boxes;
    {
        const Watchdog watchdog("painting the scales");
        boxes = phasePlane ? paintPhaseScales(painter, area, m) : paintTimeScales(painter, area, dt, m.xValues, m.times);
    }
    painter.end();

    // The pixel of the axes' crossing, in view or not.
    const auto pixelOf = [](double xTwips, double yTwips) {
        return QPointF(std::floor(xTwips / 15), std::floor(yTwips / 15));
    };
    const QPointF origin = phasePlane ? pixelOf(m.phaseX(0), m.phaseY(0)) : pixelOf(m.timeX(0), m.xValueY(0));
    const QRectF axes[] = {QRectF(0, origin.y(), area.width(), 1), QRectF(origin.x(), 0, 1, area.height())};
    QVERIFY2(int(boxes.size()) >= least, qPrintable(QString::number(boxes.size())));
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const QRectF &box = boxes[i];
        QVERIFY(!box.isEmpty());
        QVERIFY2(QRectF(QPointF(1, 1), QSizeF(area) - QSizeF(2, 2)).contains(box), qPrintable(QString::number(i)));
        for (const QRectF &axis : axes)
            QVERIFY(!box.intersects(axis));
        for (std::size_t j = 0; j < i; ++j) {
            QVERIFY2(!box.intersects(boxes[j]), qPrintable(QStringLiteral("%1 and %2").arg(i).arg(j)));
            // Side by side, a gap of their height: "5 5,0000001" ran together.
            const QRectF &other = boxes[j];
            if (box.top() < other.bottom() && other.top() < box.bottom())
                QVERIFY2(std::max(box.left() - other.right(), other.left() - box.right()) >= box.height() - 1e-9,
                         qPrintable(QStringLiteral("%1 and %2").arg(i).arg(j)));
        }
    }
    // The boxes are where the digits are: beyond the ticks, every inked pixel lies in one.
    const int tickReach = overlay_style::kTickLength + 1;
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x) {
            // Ticks lie inside the phase plane's quadrant; in a time plot above the time axis
            // and left of the value axis.
            const bool beyondTicks = y > origin.y()
                || (phasePlane ? x < origin.x() : x < origin.x() - tickReach && y < origin.y() - tickReach);
            const QPointF centre(x + 0.5, y + 0.5);
            QVERIFY2(!beyondTicks || image.pixel(x, y) == qRgb(255, 255, 255)
                         || std::any_of(boxes.cbegin(), boxes.cend(),
                                        [&](const QRectF &box) { return box.adjusted(-1, -1, 1, 1).contains(centre); }),
                     qPrintable(QStringLiteral("ink at (%1, %2)").arg(x).arg(y)));
        }
}

void AnalysisTest::contextMenuReach_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("menu");
    const int mouse = QContextMenuEvent::Mouse, keyboard = QContextMenuEvent::Keyboard;
    QTest::newRow("equation text") << "Label1(0)" << mouse << "analysis";
    QTest::newRow("coefficient") << "par(2)" << mouse << "analysis";
    QTest::newRow("time plot") << "Xgraf" << mouse << "analysis";
    QTest::newRow("button") << "Calcular" << mouse << "analysis";
    QTest::newRow("phase plane") << "XYgraf" << mouse << "none";
    QTest::newRow("phase plane, Menu key") << "XYgraf" << keyboard << "analysis";
    QTest::newRow("text box") << "XI" << mouse << "own";
    QTest::newRow("scroll bar") << "HScroll1" << mouse << "own";
    // Regression: from the scroll bar the Menu key and Shift+F10 opened the bar's own menu.
    QTest::newRow("scroll bar, Menu key") << "HScroll1" << keyboard << "analysis";
    QTest::newRow("text box, Menu key") << "XI" << keyboard << "own";
}

void AnalysisTest::contextMenuReach()
{
    QFETCH(QString, control);
    QFETCH(int, reason);
    QFETCH(QString, menu);
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *widget = window.findChild<QWidget *>(control);
    QCOMPARE(menuOpenedBy(widget, QContextMenuEvent::Reason(reason)), menu);
    QCOMPARE(window.model.A, 4.0);   // nothing else happened

    QStringList entries;
    QMenu *opened = window.analysis->openContextMenu(window.mapToGlobal(QPoint(10, 10)));
    for (QAction *entry : opened->actions())
        entries << (entry->isSeparator() ? QStringLiteral("|") : entry->objectName());
    opened->close();
    QCOMPARE(entries.join(QLatin1Char(' ')), QStringLiteral("isoclinas equilibrios campo escalas leyenda moverLeyenda separatrices integralPrimera cuencas | acercar alejar vistaInicial ajustarVista pantallaCompleta modoPresentacion | conservar borrarTrayectorias extremos reproducir unirPuntos | deshacer rehacer | abrirEscenario guardarEscenario | abrirDatos quitarDatos unidadDatos datosEjemplo | guardarImagen exportarDatos copiarDatos copiarImagen imprimir hojaTrabajo | analisis bifurcacion mapaRegimenes ajustarDatos modelosEjemplo | ayuda"));
}

void AnalysisTest::actionsAndKeys_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<QString>("opens");
    QTest::addColumn<bool>("escapeCloses");   // and Ctrl+W, the window it opens
    QTest::newRow("isoclinas") << "isoclinas" << "Isoclinas cero" << int(Qt::Key_N) << true << "" << false;
    QTest::newRow("equilibrios") << "equilibrios" << "Puntos de equilibrio" << int(Qt::Key_E) << true << "" << false;
    QTest::newRow("campo") << "campo" << "Campo de direcciones" << int(Qt::Key_D) << true << "" << false;
    QTest::newRow("escalas") << "escalas" << "Escalas" << int(Qt::Key_S) << true << "" << false;
    QTest::newRow("leyenda") << "leyenda" << "Leyenda" << int(Qt::Key_G) << true << "" << false;
    QTest::newRow("separatrices") << "separatrices" << "Separatrices" << int(Qt::Key_V) << true << "" << false;
    QTest::newRow("cuencas") << "cuencas" << "Cuencas de atracción" << int(Qt::Key_C) << true << "" << false;
    QTest::newRow("analisis") << "analisis" << "Ventana de análisis…" << int(Qt::Key_A) << false << "Análisis"
                              << true;
    QTest::newRow("bifurcacion") << "bifurcacion" << "Diagrama de bifurcación…" << int(Qt::Key_B) << false
                                 << "Diagrama de bifurcación" << true;
    QTest::newRow("mapaRegimenes") << "mapaRegimenes" << "Mapa de regímenes…" << int(Qt::Key_P) << false
                                   << "Mapa de regímenes" << true;
    QTest::newRow("ayuda") << "ayuda" << "Ayuda" << int(Qt::Key_F1) << false << "Ayuda" << true;
    QTest::newRow("conservar") << "conservar" << "Conservar trayectorias" << int(Qt::Key_T) << true << "" << false;
    QTest::newRow("extremos") << "extremos" << "Máximos y mínimos" << int(Qt::Key_M) << true << "" << false;
    QTest::newRow("unirPuntos") << "unirPuntos" << "Unir puntos" << int(Qt::Key_L) << true << "" << false;
    QTest::newRow("reproducir") << "reproducir" << "Reproducir / Pausa" << int(Qt::Key_R) << true << "" << false;
}

// Guards that the help names each action's key as bound, in Spanish, in the row of what it does.
void AnalysisTest::helpNamesEachKey_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QString>("row");   // the help's row, from its start to the first words of its line
    QTest::newRow("conservar") << "conservar" << QKeySequence(Qt::Key_T) << "<b>T</b></td><td>Conservar trayectorias";
    QTest::newRow("borrarTrayectorias") << "borrarTrayectorias" << QKeySequence(Qt::Key_Delete)
                                        << "<b>Supr</b></td><td>Borrar trayectorias";
    QTest::newRow("siguienteExtremo") << "siguienteExtremo" << QKeySequence(Qt::CTRL | Qt::Key_Right)
                                      << "<b>Control+→</b>, <b>Control+←</b></td><td>con los máximos";
    QTest::newRow("anteriorExtremo") << "anteriorExtremo" << QKeySequence(Qt::CTRL | Qt::Key_Left)
                                     << "<b>Control+→</b>, <b>Control+←</b></td><td>con los máximos";
    QTest::newRow("menuContextual") << "menuContextual" << QKeySequence(Qt::SHIFT | Qt::Key_F10)
                                    << "<b>Tecla de menú</b>, <b>Mayús+F10</b></td><td>abrir el menú";
    QTest::newRow("leyenda") << "leyenda" << QKeySequence(Qt::Key_G) << "<b>G</b></td><td>Leyenda: mostrar";
    QTest::newRow("separatrices") << "separatrices" << QKeySequence(Qt::Key_V)
                                  << "<b>V</b></td><td>Separatrices: mostrar";
    QTest::newRow("cuencas") << "cuencas" << QKeySequence(Qt::Key_C) << "<b>C</b></td><td>Cuencas de atracción: mostrar";
    QTest::newRow("ayuda") << "ayuda" << QKeySequence(Qt::Key_F1) << "<b>F1</b></td><td>abrir esta ayuda";
    QTest::newRow("guardarImagen") << "guardarImagen" << QKeySequence(Qt::CTRL | Qt::Key_S)
                                   << "<b>Control+S</b></td><td>Guardar imagen:";
    QTest::newRow("exportarDatos") << "exportarDatos" << QKeySequence(Qt::CTRL | Qt::Key_E)
                                   << "<b>Control+E</b></td><td>Exportar datos (CSV):";
    QTest::newRow("copiarDatos") << "copiarDatos" << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)
                                 << "<b>Control+Mayús+C</b></td><td>Copiar datos:";
    QTest::newRow("copiarImagen") << "copiarImagen" << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I)
                                  << "<b>Control+Mayús+I</b></td><td>Copiar imagen:";
    QTest::newRow("ajustarDatos") << "ajustarDatos" << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A)
                                  << "<b>Control+Mayús+A</b></td><td>Ajustar a los datos:";
}

void AnalysisTest::helpNamesEachKey()
{
    QFETCH(QString, name);
    QFETCH(QKeySequence, key);
    QFETCH(QString, row);
    Prog window;
    QAction *a = action(window, qPrintable(name));
    QVERIFY(a);
    QCOMPARE(a->shortcut(), key);
    QVERIFY2(helpHtml().contains(QStringLiteral("<tr><td>") + row), qPrintable(row));
}

// The legend's lines for the options on and the system in force, each line worked by hand: the
// nullclines and the equilibria that the phase plane draws, each type once.
void AnalysisTest::legendListsWhatIsShown_data()
{
    QTest::addColumn<QList<double>>("coefficients");   // none: the designed ones
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("recomputations");
    QTest::addColumn<QString>("lines");
    const QStringList both{"isoclinas", "equilibrios"};
    QTest::newRow("no option") << QList<double>() << QStringList() << 0 << "Trayectoria";
    QTest::newRow("kept, none yet") << QList<double>() << QStringList{"conservar"} << 0 << "Trayectoria";
    QTest::newRow("kept after a recomputation") << QList<double>() << QStringList{"conservar"} << 1
                                                << "Trayectoria|Trayectorias conservadas";
    QTest::newRow("designed, nullclines") << QList<double>() << QStringList{"isoclinas"} << 0
                                          << "Trayectoria|Isoclina x' = 0|Isoclina y' = 0";
    QTest::newRow("designed, equilibria") << QList<double>() << QStringList{"equilibrios"} << 0
                                          << "Trayectoria|Punto de silla|Centro (órbitas cerradas)";
    QTest::newRow("competition with exclusion, everything")
        << QList<double>{8, -1, -2, 7, -2, -1}
        << QStringList{"conservar", "isoclinas", "equilibrios", "campo", "escalas", "extremos", "unirPuntos"} << 1
        << "Trayectoria|Trayectorias conservadas|Mínimo de x o de y|Isoclina x' = 0|Isoclina y' = 0|Punto de silla|"
           "Nodo estable|Nodo inestable";
    QTest::newRow("competition with exclusion, separatrices")
        << QList<double>{8, -1, -2, 7, -2, -1} << QStringList{"separatrices", "equilibrios"} << 1
        << "Trayectoria|Punto de silla|Nodo estable|Nodo inestable|Separatriz estable|Separatriz inestable";
    QTest::newRow("designed, turning points") << QList<double>() << QStringList{"extremos"} << 0
                                              << "Trayectoria|Máximo de x o de y|Mínimo de x o de y";
    QTest::newRow("designed, level curves of H") << QList<double>() << QStringList{"integralPrimera"} << 0
                                                 << "Trayectoria|Curvas de nivel de H";
    QTest::newRow("logistic prey, level curves of V") << QList<double>{3, -1, -1, -2, 1, 0}
                                                      << QStringList{"integralPrimera"} << 1
                                                      << "Trayectoria|Curvas de nivel de V (Lyapunov)";
    QTest::newRow("exclusion: no level curves") << QList<double>{8, -1, -2, 7, -2, -1}
                                                << QStringList{"integralPrimera"} << 1 << "Trayectoria";
    // The saddle (30, 0) lies beyond the border of the separatrices.
    QTest::newRow("separatrices, no saddle inside") << QList<double>{-30, 1, 0, -1, 0, 0}
                                                    << QStringList{"separatrices"} << 1 << "Trayectoria";
    // y' = 0 is x = -6 and the interior point (-6, 4): both out of view.
    QTest::newRow("a nullcline and an equilibrium out of view") << QList<double>{4, 0, -1, 6, 1, 0} << both << 1
                                                                << "Trayectoria|Isoclina x' = 0|Nodo inestable";
    QTest::newRow("A = B = 0: the x axis") << QList<double>{0, 0, -1, -4, 1, 0} << both << 1
                                           << "Trayectoria|Isoclina x' = 0|Isoclina y' = 0|No hiperbólico|"
                                              "Recta de equilibrios";
    QTest::newRow("x' = 0 everywhere: no line of it") << QList<double>{0, 0, 0, -4, 1, 0} << both << 1
                                                      << "Trayectoria|Isoclina y' = 0|No hiperbólico|Recta de equilibrios";
    QTest::newRow("nothing moves") << QList<double>{0, 0, 0, 0, 0, 0} << both << 1 << "Trayectoria";
    // The nodes in the order of the equilibria; the third quadrant's corner escapes.
    QTest::newRow("competition with exclusion, basins") << QList<double>{8, -1, -2, 7, -2, -1}
                                                        << QStringList{"cuencas"} << 1
                                                        << "Trayectoria|(8, 0)|(0, 7)|Crece sin límite";
    // Predator and prey: a centre and a saddle, nothing attracts; left of the y axis y dies out
    // and x' = 4 x carries x away; the open quadrant is closed orbits.
    QTest::newRow("designed, basins") << QList<double>() << QStringList{"cuencas"} << 1
                                      << "Trayectoria|Crece sin límite|Órbitas cerradas (sin atractor)";
    // A slow spiral into (4, 3.996), stable in the whole open quadrant: it reaches the legend.
    QTest::newRow("predator-prey B = -0.001, basins") << QList<double>{4, -0.001, -1, -4, 1, 0}
                                                      << QStringList{"cuencas"} << 1
                                                      << "Trayectoria|(4, 3.996)|Crece sin límite";
}

void AnalysisTest::legendListsWhatIsShown()
{
    QFETCH(QList<double>, coefficients);
    QFETCH(QStringList, options);
    QFETCH(int, recomputations);
    QFETCH(QString, lines);
    Prog window;
    window.Form_Load();
    for (const QString &option : options)
        action(window, qPrintable(option))->setChecked(true);
    for (int i = 0; i < int(coefficients.size()); ++i)
        window.state().setCoefficient(i, coefficients[i]);
    for (int i = 0; i < recomputations; ++i) {
        window.XI->setText(QString::number(3 + i));   // a new trajectory, kept when asked
        window.calcula();
    }
    const auto *views = window.findChild<PlotViews *>();
    QVERIFY(views);
    const ScopedLocale c(QLocale::c());
    if (options.contains(QStringLiteral("cuencas")))
        QTRY_VERIFY(views->basinMap().complete());
    const PlotScene scene = views->scene();
    QStringList texts;
    for (const LegendEntry &entry : legendEntries(views->legendScene(scene), window.XYgraf->contentsRect().size()))
        texts << entry.text;
    QCOMPARE(texts.join(u'|'), lines);
}

void AnalysisTest::legendTakesTheQuietestCorner_data()
{
    QTest::addColumn<QList<double>>("keptSystem");   // none: nothing kept
    QTest::addColumn<QPoint>("keptStart");
    QTest::addColumn<QList<double>>("system");
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<int>("corner");
    // Closed orbits of x' = x (A - y), y' = y (E x + D) around the centre (-D/E, A), reaching up to y = 10.
    const QList<double> around8and8{8, 0, -1, -8, 1, 0}, around2and8{8, 0, -1, -2, 1, 0};
    QTest::newRow("a trajectory around (8, 8) fills the top right")
        << QList<double>() << QPoint() << around8and8 << QPoint(8, 10) << int(LegendCorner::TopLeft);
    QTest::newRow("a trajectory around (2, 8) fills the top left")
        << QList<double>() << QPoint() << around2and8 << QPoint(2, 10) << int(LegendCorner::TopRight);
    QTest::newRow("nothing in any corner: the top right")
        << QList<double>() << QPoint() << QList<double>{2, 0, -1, -5, 1, 0} << QPoint(5, 3)
        << int(LegendCorner::TopRight);
    QTest::newRow("kept around (2, 8), current around (8, 8): the bottom right")
        << around2and8 << QPoint(2, 10) << around8and8 << QPoint(8, 10) << int(LegendCorner::BottomRight);
}

// The legend goes to the corner that hides the fewest drawn samples; of equal ones, the first
// of top right, top left, bottom right, bottom left; and it is painted there.
void AnalysisTest::legendTakesTheQuietestCorner()
{
    QFETCH(QList<double>, keptSystem);
    QFETCH(QPoint, keptStart);
    QFETCH(QList<double>, system);
    QFETCH(QPoint, start);
    QFETCH(int, corner);
    Prog window;
    window.Form_Load();
    const auto startAt = [&window](const QList<double> &k, QPoint p) {
        for (int i = 0; i < 6; ++i)
            window.state().setCoefficient(i, k[i]);
        window.XI->setText(QString::number(p.x()));
        window.YI->setText(QString::number(p.y()));
        window.calcula();
    };
    if (!keptSystem.isEmpty()) {
        action(window, "conservar")->setChecked(true);
        startAt(keptSystem, keptStart);
    }
    startAt(system, start);
    action(window, "leyenda")->setChecked(true);

    const auto *views = window.findChild<PlotViews *>();
    const PlotScene scene = views->scene();
    const LegendScene legend = views->legendScene(scene);
    const QSizeF area = window.XYgraf->contentsRect().size();
    const QSizeF size = legendSize(legendEntries(legend, area));
    const LegendCorner chosen = quietestCorner(legend, area, size);
    QCOMPARE(int(chosen), corner);
    const int hidden = hiddenBy(legendRect(chosen, size, area), legend, area);
    for (LegendCorner other : kLegendCorners) {
        const int hiddenThere = hiddenBy(legendRect(other, size, area), legend, area);
        QVERIFY(hiddenThere >= hidden);
        if (int(other) < corner)
            QVERIFY2(hiddenThere > hidden, "a corner earlier in the order hides no more");
    }
    if (corner != int(LegendCorner::TopRight))
        QVERIFY(hiddenBy(legendRect(LegendCorner::TopRight, size, area), legend, area) > 20);

    QImage image(area.toSize(), QImage::Format_RGB32);
    QPainter painter(&image);
    const std::vector<QRectF> painted = views->paintOver(PlotKind::PhasePlane, painter, area);
    QVERIFY(!painted.empty());
    QCOMPARE(painted.back(), legendRect(chosen, size, area));
}

// With many lines the legend takes two columns or a smaller font rather than more than a sixth
// of the plane; it never covers the axis titles or the crosshair's start; Mayús+G and a drag put
// it in another corner, where it stays until the legend goes off.
void AnalysisTest::legendKeepsWithinASixthAndMoves()
{
    QLocale::setDefault(QLocale::c());
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    action(window, "modelo_competencia_exclusion")->trigger();
    for (const char *option : {"extremos", "isoclinas", "equilibrios", "separatrices", "cuencas", "leyenda"})
        action(window, option)->setChecked(true);
    window.XI->setText(QStringLiteral("3"));
    window.Calcular_Click();
    const auto *views = window.findChild<PlotViews *>();
    QTRY_VERIFY(views->basinMap().complete());
    const PlotScene scene = views->scene();
    const LegendScene legend = views->legendScene(scene);
    const QSizeF area = window.XYgraf->contentsRect().size();
    const std::vector<LegendEntry> entries = legendEntries(legend, area);
    QVERIFY2(entries.size() >= 12, qPrintable(QString::number(entries.size())));
    const QSizeF oneColumn = legendSize(entries);
    QVERIFY(oneColumn.width() * oneColumn.height() > area.width() * area.height() / 6);
    const std::optional<LegendPlace> place = views->legendPlace();
    QVERIFY(place);
    QVERIFY2(place->rect.width() * place->rect.height() <= area.width() * area.height() / 6,
             qPrintable(QStringLiteral("%1 x %2").arg(place->rect.width()).arg(place->rect.height())));
    QVERIFY(QRectF(QPointF(0, 0), area).contains(place->rect));
    QImage image(area.toSize(), QImage::Format_RGB32);
    QPainter painter(&image);
    const std::vector<QRectF> painted = views->paintOver(PlotKind::PhasePlane, painter, area);
    QCOMPARE(painted.back(), place->rect);
    for (std::size_t i = 0; i + 1 < painted.size(); ++i)   // the titles
        QVERIFY(!painted[i].intersects(place->rect));
    const QPointF start = phase_geometry::dotCentreAt(scene.mapping, window.model.xs(0), window.model.ys(0));
    QVERIFY(!place->rect.adjusted(-6, -6, 6, 6).contains(start));

    // Mayús+G goes round the corners from where it stands.
    const LegendCorner first = place->corner;
    QTest::keyClick(window.Calcular, Qt::Key_G, Qt::ShiftModifier);
    QCOMPARE(views->legendPlace()->corner, nextCorner(first));
    QCOMPARE(window.state().legendCorner(), nextCorner(first));
    // A drag from the legend to the bottom left corner leaves it there.
    const QPoint from = views->legendPlace()->rect.center().toPoint() + window.XYgraf->contentsRect().topLeft();
    const QPoint to = QPoint(10, int(area.height()) - 10) + window.XYgraf->contentsRect().topLeft();
    const double x0 = window.model.xs(0);
    QTest::mousePress(window.XYgraf, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), window.XYgraf->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.XYgraf, &move);
    QTest::mouseRelease(window.XYgraf, Qt::LeftButton, {}, to);
    QCOMPARE(window.state().legendCorner(), LegendCorner::BottomLeft);
    QCOMPARE(window.model.xs(0), x0);   // no solution started under the legend
    action(window, "leyenda")->setChecked(false);
    QVERIFY(!window.state().legendCorner());
    QVERIFY(!action(window, "moverLeyenda")->isEnabled());
}

void AnalysisTest::actionsAndKeys()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, key);
    QFETCH(bool, checkable);
    QFETCH(QString, opens);
    QFETCH(bool, escapeCloses);
    Prog window;
    window.Form_Load();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QAction *a = action(window, qPrintable(name));
    QVERIFY(a);
    QCOMPARE(a->text(), text);
    QCOMPARE(a->shortcut(), QKeySequence(key));
    QCOMPARE(a->isCheckable(), checkable);
    QVERIFY(window.actions().contains(a));
    QVERIFY2(helpHtml().contains(text.chopped(text.endsWith(u'…') ? 1 : 0), Qt::CaseInsensitive), "missing from the help");

    window.Calcular->setFocus();
    QTest::keyClick(window.Calcular, Qt::Key(key));
    if (checkable) {
        QVERIFY(a->isChecked());
        // In a text box the letter is typed, not taken as the key.
        window.XI->setFocus();
        QTest::keyClick(window.XI, Qt::Key(key), Qt::NoModifier);
        QVERIFY(a->isChecked());
        QCOMPARE(window.XI->text().size(), 2);
    } else {
        QWidget *opened = nullptr;
        for (QWidget *made : {static_cast<QWidget *>(window.analysis->analysisWindow()),
                              static_cast<QWidget *>(window.analysis->helpWindow()),
                              static_cast<QWidget *>(window.analysis->exploration()->bifurcationWindow()),
                              static_cast<QWidget *>(window.analysis->exploration()->regimeWindow())})
            opened = made ? made : opened;
        QVERIFY(opened && opened->isVisible());
        QCOMPARE(opened->windowTitle(), opens);
        QVERIFY(!opened->isModal());
        if (escapeCloses) {
            QApplication::setActiveWindow(opened);
            QVERIFY(QTest::qWaitForWindowActive(opened));
            QTest::keyClick(opened->focusWidget() ? opened->focusWidget() : opened, Qt::Key_Escape);
            QVERIFY(!opened->isVisible());
            // Ctrl+W too.
            opened->show();
            QApplication::setActiveWindow(opened);
            QVERIFY(QTest::qWaitForWindowActive(opened));
            QTest::keyClick(opened->focusWidget() ? opened->focusWidget() : opened, Qt::Key_W, Qt::ControlModifier);
            QVERIFY(!opened->isVisible());
        }
    }
}

// Regression: after a save from the diagram's window the main window was active, and the next
// Ctrl+S saved the three plots. Each dialog opens over the window that asked, which is
// active again when it closes.
void AnalysisTest::saveDialogOpensOverTheWindowThatAsked_data()
{
    QTest::addColumn<QString>("asker");
    QTest::newRow("the diagram's Ctrl+S") << "Bifurcacion";
    QTest::newRow("the main window's Ctrl+S") << "Prog";
}

void AnalysisTest::saveDialogOpensOverTheWindowThatAsked()
{
    QFETCH(QString, asker);
    Prog window;
    window.Form_Load();
    action(window, "bifurcacion")->trigger();
    QWidget *diagram = window.analysis->exploration()->bifurcationWindow();
    QVERIFY(QTest::qWaitForWindowActive(diagram));   // as it asked, before the asker is chosen
    QWidget *asking = asker == QLatin1String("Prog") ? static_cast<QWidget *>(&window) : diagram;
    QApplication::setActiveWindow(asking);
    QVERIFY(QTest::qWaitForWindowActive(asking));
    for (int save = 1; save <= 2; ++save) {
        QWidget *over = nullptr;
        QTimer::singleShot(50, [&over] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                over = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
                static_cast<QDialog *>(dialog)->reject();
            }
        });
        QTest::keyClick(asking->focusWidget() ? asking->focusWidget() : asking, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(over ? over->objectName() : QStringLiteral("no dialog"), asker);
        QTRY_COMPARE(QApplication::activeWindow(), asking);
    }
}

// Each window of the layer opens inside the screen's available area and, on a screen with
// room for it (the wide-screen run, 1600 × 1000), beside the main window, not over it.
void AnalysisTest::windowsOpenOnTheScreenBesideTheMainWindow_data()
{
    QTest::addColumn<QString>("opener");
    QTest::addColumn<QPoint>("mainAt");
    QTest::addColumn<QString>("example");   // loaded first
    for (const char *opener : {"analisis", "bifurcacion", "ayuda"}) {
        QTest::addRow("%s, main window top left", opener) << opener << QPoint(0, 0) << "";
        QTest::addRow("%s, main window top right", opener) << opener << QPoint(935, 0) << "";
        QTest::addRow("%s, main window bottom left", opener) << opener << QPoint(0, 540) << "";
    }
    // Four equilibria make the analysis window taller than it is made.
    QTest::addRow("analisis, bottom left, four equilibria") << "analisis" << QPoint(0, 540) << "modelo_mutualismo";
}

void AnalysisTest::windowsOpenOnTheScreenBesideTheMainWindow()
{
    QFETCH(QString, opener);
    QFETCH(QPoint, mainAt);
    QFETCH(QString, example);
    Prog window;
    window.move(mainAt);
    window.Form_Load();
    if (!example.isEmpty())
        action(window, qPrintable(example))->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The analysis window is open already when another opens; the new one keeps clear of it too.
    if (opener != QLatin1String("analisis"))
        action(window, "analisis")->trigger();
    action(window, qPrintable(opener))->trigger();
    QWidget *opened = opener == QLatin1String("analisis") ? static_cast<QWidget *>(window.analysis->analysisWindow())
        : opener == QLatin1String("ayuda")                ? static_cast<QWidget *>(window.analysis->helpWindow())
                                                          : window.analysis->exploration()->bifurcationWindow();
    QVERIFY(opened);
    QVERIFY(QTest::qWaitForWindowExposed(opened));
    const QRect room = window.screen()->availableGeometry();
    QVERIFY(room.contains(opened->frameGeometry()));
    if (room.width() >= 1600 && room.height() >= 1000 && room.contains(window.frameGeometry()))
        QVERIFY(!opened->frameGeometry().intersects(window.frameGeometry()));
}

// The window shows the coefficients of the last recomputation: a coefficient edited since
// then shows at the next one, numbers in the user's locale.
void AnalysisTest::analysisWindowDescribesTheSystemInForce()
{
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    Prog window;
    window.Form_Load();
    action(window, "analisis")->trigger();
    AnalysisWindow *shown = window.analysis->analysisWindow();
    QCOMPARE(shown->objectName(), QStringLiteral("Analisis"));
    auto *table = shown->findChild<QTableWidget *>(QStringLiteral("tablaEquilibrios"));
    QVERIFY(table);
    auto rows = [table] {
        QStringList all;
        for (int row = 0; row < table->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columnCount(); ++column)
                cells << (table->item(row, column) ? table->item(row, column)->text() : QString());
            all << cells.join(QLatin1Char('|'));
        }
        return all;
    };
    QStringList headers;
    for (int column = 0; column < table->columnCount(); ++column)
        headers << table->horizontalHeaderItem(column)->text();
    QCOMPARE(headers, QStringList({"x", "y", "Autovalores", "Tipo"}));
    QCOMPARE(rows(), QStringList({"0|0|4; -4|punto de silla", "4|4|0 ± 4i|centro (órbitas cerradas)"}));

    window.model.B = -0.5;   // as the coefficient's dialog stores it: not in force yet
    QCOMPARE(rows().size(), 2);
    window.model.A = 2.5;
    window.Calcular->click();
    QCOMPARE(rows(), QStringList({"0|0|2,5; -4|punto de silla", "5|0|1; -2,5|punto de silla",
                                  "4|0,5|-1 ± 1i|foco estable"}));
    QVERIFY(shown->findChild<QLabel *>(QStringLiteral("coeficientes"))->text().contains(QStringLiteral("A = 2,5")));
    QVERIFY(shown->findChild<QLabel *>(QStringLiteral("intervalo"))->text().contains(QStringLiteral("dt = 0,02")));

    // Tables and labels show 6 significant digits; the tooltip and Ctrl+C give the exact value.
    window.model.A = 2.424425307;
    window.model.B = 0;
    window.Calcular->click();
    QCOMPARE(rows().last(), QStringLiteral("4|2,42443|0 ± 3,11411i|centro (órbitas cerradas)"));
    QCOMPARE(table->item(1, 1)->toolTip(), QStringLiteral("2,424425307"));
    QVERIFY(shown->findChild<QLabel *>(QStringLiteral("coeficientes"))->text().contains(QStringLiteral("A = 2,42443 ")));
    QVERIFY(shown->findChild<QLabel *>(QStringLiteral("coeficientes"))->toolTip().contains(QStringLiteral("A = 2,424425307 ")));
    table->clearSelection();
    table->setRangeSelected(QTableWidgetSelectionRange(1, 0, 1, 2), true);
    table->setFocus();
    table->findChild<QAction *>(QStringLiteral("copiarTabla"))->trigger();
    const QString exactEigenvalues = table->item(1, 2)->toolTip();
    QVERIFY2(exactEigenvalues.startsWith(QStringLiteral("0 ± 3,11411")) && exactEigenvalues.size() > 16,
             qPrintable(exactEigenvalues));
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("x\ty\tAutovalores\n4\t2,424425307\t%1\n").arg(exactEigenvalues));

    // A zero trace with B and F not 0 proves no closed orbits: the type says that it is left open.
    std::tie(window.model.A, window.model.B, window.model.C) = std::tuple(3.0, -1.0, -2.0);
    std::tie(window.model.D, window.model.E, window.model.F) = std::tuple(-2.0, 1.0, 1.0);
    window.Calcular->click();
    QCOMPARE(rows().last(), QStringLiteral("1|1|0 ± 1i|no hiperbólico (la linealización no decide)"));
}

// Regression: at the window's default size the table showed about a row and a half. Every row
// is in sight, every cell's text fits its column, and a recomputation shows the table from
// its start.
void AnalysisTest::equilibriaTableShowsEveryRow_data()
{
    QTest::addColumn<Coefficients>("coefficients");
    for (const ExampleSystem &example : exampleSystems())
        QTest::newRow(example.id) << example.coefficients;
    QTest::newRow("two lines of equilibria") << Coefficients{0, 0, 0, 4, -1.3333333333333333, -1};
    QTest::newRow("four points, long numbers") << Coefficients{1.1111111, -0.3333333333, -0.1428571, 2.2222222, -0.0909090909, -0.7692307};
    // Seeded random systems, for the regime named beside the table.
    std::mt19937 random(33);
    std::uniform_real_distribution<double> coefficient(-2.0, 2.0);
    for (int n = 0; n < 3; ++n) {
        Coefficients k;
        for (double *c : {&k.A, &k.B, &k.C, &k.D, &k.E, &k.F})
            *c = coefficient(random);
        QTest::newRow(qPrintable(QStringLiteral("random %1").arg(n))) << k;
    }
}

void AnalysisTest::equilibriaTableShowsEveryRow()
{
    QFETCH(Coefficients, coefficients);
    Prog window;
    window.Form_Load();
    std::tie(window.model.A, window.model.B, window.model.C, window.model.D, window.model.E, window.model.F) =
        std::tie(coefficients.A, coefficients.B, coefficients.C, coefficients.D, coefficients.E, coefficients.F);
    window.Calcular->click();
    action(window, "analisis")->trigger();
    AnalysisWindow *shown = window.analysis->analysisWindow();
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    QTableWidget *table = shown->equilibriaTable();
    QVERIFY(table->rowCount() > 0);
    // The outcome in words, from the one classification the map of regimes uses too.
    const auto *regime = shown->findChild<QLabel *>(QStringLiteral("regimenAnalisis"));
    QVERIFY(regime);
    QCOMPARE(regime->text(), QStringLiteral("Régimen: %1").arg(QString::fromUtf8(regimeName(regimeOf(coefficients)))));
    const QRect inSight = table->viewport()->rect();
    const QFontMetrics metrics(table->font());
    for (int row = 0; row < table->rowCount(); ++row)
        for (int column = 0; column < table->columnCount(); column += table->columnSpan(row, column)) {
            const QRect cellRect = table->visualRect(table->model()->index(row, column));
            QVERIFY(inSight.contains(cellRect));
            QVERIFY(metrics.horizontalAdvance(table->item(row, column)->text()) < cellRect.width());
        }

    // Scrolled away from its start (a wide column, a short table), then a recomputation of
    // the same system.
    table->setColumnWidth(2, 2000);
    table->setFixedHeight(table->horizontalHeader()->height() + table->rowHeight(0));
    QApplication::processEvents();
    QScrollBar *across = table->horizontalScrollBar();
    QScrollBar *down = table->verticalScrollBar();
    QVERIFY(across->maximum() > 0 && down->maximum() > 0);
    across->setValue(across->maximum());
    down->setValue(down->maximum());
    window.Calcular->click();
    QCOMPARE(across->value(), 0);
    QCOMPARE(down->value(), 0);
}

// The turning points of the trajectory on screen and the period: the default orbit through
// (5, 5) over the span 10 turns 50 times; its period is 1.5848896 (found once with steps of 1e-6).
void AnalysisTest::turningPointsAndPeriod()
{
    QLocale::setDefault(QLocale::c());
    Prog window;
    window.Form_Load();
    window.Text2->setText(QStringLiteral("10"));
    window.Calcular_Click();
    action(window, "analisis")->trigger();
    AnalysisWindow *shown = window.analysis->analysisWindow();
    auto *table = shown->findChild<QTableWidget *>(QStringLiteral("tablaExtremos"));
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 50);
    QStringList headers;
    for (int column = 0; column < table->columnCount(); ++column)
        headers << table->horizontalHeaderItem(column)->text();
    QCOMPARE(headers, QStringList({"Variable", "Tipo", "t", "x", "y"}));
    // At the window's first size five rows are in sight.
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    QVERIFY2(table->viewport()->height() >= 5 * table->rowHeight(0), qPrintable(QString::number(table->viewport()->height())));
    const QString period = shown->findChild<QLabel *>(QStringLiteral("periodoAproximado"))->text();
    QVERIFY2(period.startsWith(QStringLiteral("Periodo aproximado: ")), qPrintable(period));
    const double value = period.mid(20).toDouble();
    QVERIFY2(std::fabs(value - 1.5848896) < 0.005 * 1.5848896, qPrintable(period));

    // A trajectory at the equilibrium turns nowhere: the table follows at once.
    window.XYgraf_MouseDown(1, 0, 1750, 2500);
    QCOMPARE(table->rowCount(), 0);
}

// The period below the turning points: a period only for a closed orbit, a pseudoperiod for a
// spiral, the digits its error estimate leaves sure (up to six) in the user's locale and the
// exact value in the tooltip. Where the period is known to 11 digits, the last digit shown holds.
void AnalysisTest::periodLabel_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QList<double>>("coefficients");
    QTest::addColumn<QString>("start");   // x and y, then the span
    QTest::addColumn<QString>("caption");
    QTest::addColumn<double>("period");
    QTest::addColumn<double>("within");   // relative
    QTest::addColumn<int>("digits");      // significant digits shown
    const QList<double> defaults{4, 0, -1, -4, 1, 0};
    QTest::newRow("closed orbit") << "C" << defaults << "5 5 10" << "Periodo aproximado: " << 1.5848896 << 0.005 << 6;
    QTest::newRow("closed orbit, Spanish") << "es_ES" << defaults << "5 5 10" << "Periodo aproximado: " << 1.5848896
                                           << 0.005 << 6;
    // The logistic prey's focus (2, 1), eigenvalues -1 ± i; the first turns take longer than 2π.
    QTest::newRow("spiral into a stable focus") << "es_ES" << QList<double>{3, -1, -1, -2, 1, 0} << "1 3 10"
                                                << "Pseudoperiodo (oscilación amortiguada): " << 2 * M_PI << 0.05 << 6;
    // Focus (4, 4.2), eigenvalues 0.1 ± 4.09756i.
    QTest::newRow("spiral out of an unstable focus") << "C" << QList<double>{4, 0.05, -1, -4, 1, 0} << "5 5 10"
                                                     << "Pseudoperiodo (oscilación creciente): " << 2 * M_PI / 4.09756
                                                     << 0.02 << 6;
    // No period at all: the caption alone.
    QTest::newRow("x grows without a turn") << "C" << QList<double>{1, 0, 0, -1, 0, 0} << "1 1 2"
                                            << "Periodo aproximado: x no oscila en este intervalo" << 0.0 << 0.0 << 0;
    // Sharp peaks between samples: a parabola through three samples put them 0,29 % off (1,25861).
    QTest::newRow("sharp peaks between samples") << "es_ES" << QList<double>{5.76, 0, -1.61, -4.96, 1.94, 0}
        << "4.935986159990091 5.764844863660266 10" << "Periodo aproximado: " << 1.25491114398 << 1e-6 << 6;
    // Closed by H, although its sampled maxima grow turn after turn.
    QTest::newRow("closed by H") << "es_ES" << QList<double>{5.73, 0, -1.23, -1.23, 1.6, 0}
        << "1.0996443111698866 1.5347581378417752 10" << "Periodo aproximado: " << 2.8923414384 << 1e-6 << 6;
    // Long steps: RK4 holds fewer digits.
    QTest::newRow("wide orbit, long steps") << "C" << defaults << "12 12 50" << "Periodo aproximado: "
                                            << 2.07063324532 << 1e-3 << 5;
    // Steps of 0,025: RK4 makes the period 2,71 instead of 1,58, and the estimate says so.
    QTest::newRow("steps too long for a sure digit") << "es_ES" << defaults << "5 5 100" << "Periodo aproximado: "
                                                     << 1.5848896 << 0.0 << 0;
}

void AnalysisTest::periodLabel()
{
    QFETCH(QString, locale);
    QFETCH(QList<double>, coefficients);
    QFETCH(QString, start);
    QFETCH(QString, caption);
    QFETCH(double, period);
    QFETCH(double, within);
    QLocale::setDefault(QLocale(locale));
    Prog window;
    window.Form_Load();
    double *k[] = {&window.model.A, &window.model.B, &window.model.C, &window.model.D, &window.model.E, &window.model.F};
    for (int i = 0; i < 6; ++i)
        *k[i] = coefficients[i];
    const QStringList numbers = start.split(QLatin1Char(' '));
    window.XI->setText(QLocale().toString(numbers[0].toDouble()));
    window.YI->setText(QLocale().toString(numbers[1].toDouble()));
    window.Text2->setText(QLocale().toString(numbers[2].toDouble()));
    window.Calcular->click();
    action(window, "analisis")->trigger();
    const auto *label = window.analysis->analysisWindow()->findChild<QLabel *>(QStringLiteral("periodoAproximado"));
    QVERIFY2(label->text().startsWith(caption), qPrintable(label->text()));
    if (period == 0) {
        QCOMPARE(label->text(), caption);
        QVERIFY(label->toolTip().isEmpty());
        return;
    }
    QFETCH(int, digits);
    if (digits == 0) {
        QCOMPARE(label->text(),
                 caption + QStringLiteral("ninguna cifra segura con este paso; un intervalo de tiempo más corto lo precisa"));
        QVERIFY(label->toolTip().isEmpty());
        return;
    }
    bool ok = false;
    const double exact = QLocale().toDouble(label->toolTip(), &ok);
    QVERIFY2(ok && std::fabs(exact - period) < within * period, qPrintable(label->toolTip()));
    QCOMPARE(label->text(), caption + QLocale().toString(exact, 'g', digits));
    if (within <= 1e-3) {
        const double shown = QLocale().toDouble(label->text().mid(caption.size()), &ok);
        const double unit = std::pow(10.0, std::floor(std::log10(period)) - digits + 1);
        QVERIFY2(ok && std::fabs(shown - period) <= unit, qPrintable(label->text()));
    }
    QCOMPARE(QLocale().toString(exact, 'g', QLocale::FloatingPointShortest), label->toolTip());
}

void AnalysisTest::tooltipOfAnEquilibrium()
{
    QLocale::setDefault(QLocale::c());
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint centre = cell(phaseX(4), phaseY(4)) + window.XYgraf->contentsRect().topLeft();
    auto hover = [&window](QPoint at) -> QString {
        QToolTip::hideText();
        if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
            return QStringLiteral("a tooltip that would not go away");
        QHelpEvent help(QEvent::ToolTip, at, window.XYgraf->mapToGlobal(at));
        QApplication::sendEvent(window.XYgraf, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(hover(centre), QString());
    action(window, "equilibrios")->setChecked(true);
    QCOMPARE(hover(centre), QStringLiteral("(4, 4)\nAutovalores: 0 ± 4i\ncentro (órbitas cerradas)"));
    QCOMPARE(hover(centre + QPoint(20, 0)), QString());
}

// A box shows the coefficient in force to the last digit, or says it cannot; a number typed
// over that text is taken even when it is the value the box holds meanwhile.
void AnalysisTest::liveBoxShowsItsCoefficientExactly_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("taken");
    QTest::newRow("beyond the range") << 0 << 1e308 << "fuera de rango" << "1e+300" << 1e300;
    QTest::newRow("below the range") << 1 << -1e308 << "fuera de rango" << "-1e+300" << -1e300;
    QTest::newRow("subnormal, then 0") << 2 << 4.9e-324 << "fuera de rango" << "0" << 0.0;
    QTest::newRow("at the end of the range") << 3 << 1e300 << "1e+300" << "2" << 2.0;
    QTest::newRow("seventeen digits") << 4 << 0.1 + 0.2 << "0.30000000000000004" << "0.3" << 0.3;
}

void AnalysisTest::liveBoxShowsItsCoefficientExactly()
{
    QFETCH(int, index);
    QFETCH(double, value);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(double, taken);
    QLocale::setDefault(QLocale::c());
    Prog window;
    window.Form_Load();
    QDoubleSpinBox *box = liveControls(window)->valueBox(index);
    QVERIFY(window.state().setCoefficient(index, value));
    QCOMPARE(box->text(), shown);
    QCOMPARE(box->toolTip().isEmpty(), shown != QLatin1String("fuera de rango"));
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, typed);
    QTest::keyClick(box, Qt::Key_Return);
    const Coefficients k = window.state().coefficients();
    const double values[] = {k.A, k.B, k.C, k.D, k.E, k.F};
    QCOMPARE(values[index], taken);
    QCOMPARE(box->text(), typed);
}

// A coefficient typed into its spin box recomputes at once the trajectory that the dialog and
// Calcular give; a dialog edit shows in the spin box without recomputing.
void AnalysisTest::liveEditMatchesDialogThenCalcular_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("A") << "C" << 0 << "2.5" << "2.5";
    QTest::newRow("B, Spanish") << "es_ES" << 1 << "-0,333333333333333" << "-0,333333333333333";
    QTest::newRow("D, exponent") << "C" << 3 << "-3.2e0" << "-3.2";
    QTest::newRow("F, blanks") << "C" << 5 << " -0.125 " << "-0.125";
}

void AnalysisTest::liveEditMatchesDialogThenCalcular()
{
    QFETCH(QString, locale);
    QFETCH(int, index);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QLocale::setDefault(QLocale(locale));
    Prog dialog, live;
    dialog.Form_Load();
    live.Form_Load();
    QDoubleSpinBox *box = liveControls(live)->valueBox(index);
    QDoubleSpinBox *dialogBox = liveControls(dialog)->valueBox(index);
    const double before = dialog.model.xs(50);
    {
        DialogAnswerer answerer(typed);
        dialog.par_Click(index);
    }
    QCOMPARE(dialogBox->text(), shown);   // shown at once, not yet in force
    QCOMPARE(dialog.model.xs(50), before);
    QVERIFY(dialog.state().system().coefficients == live.state().system().coefficients);
    dialog.Calcular_Click();

    box->selectAll();
    QTest::keyClicks(box, typed);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(box->text(), shown);
    QCOMPARE(live.par[index]->toolTip(), shown);
    QVERIFY(live.state().system().coefficients == dialog.state().system().coefficients);
    QVERIFY(sameTrajectory(live.model, dialog.model));
}

// While the slider is held, a change waits for the end of the frame of the one before; its
// release computes the newest value and centres the slider on it.
void AnalysisTest::sliderDragRecomputesOncePerFrame()
{
    Prog window;
    window.Form_Load();
    QSlider *slider = liveControls(window)->slider(0);
    QCOMPARE(slider->value(), 500);   // A = 4: steps of 0.01, the slider runs over -1..9
    slider->setSliderDown(true);
    slider->setValue(625);
    QCOMPARE(window.state().system().coefficients.A, 5.25);
    slider->setValue(750);
    QCOMPARE(window.model.A, 6.5);
    QCOMPARE(window.par[0]->toolTip(), QLocale().toString(6.5));
    QCOMPARE(window.state().system().coefficients.A, 5.25);
    slider->setSliderDown(false);
    QCOMPARE(window.state().system().coefficients.A, 6.5);
    QCOMPARE(slider->value(), 500);
    slider->setValue(1000);   // now steps of 0.02 (6.5 / 500 = 0.013): -3.5..16.5
    QCOMPARE(window.state().system().coefficients.A, 16.5);
}

// Guards the basins on screen: computed while the event loop runs, each node's side in its tint
// under the trajectory, the progress shown until the map is whole; off, the designed pixels.
void AnalysisTest::basinsTintEachNodesSide()
{
    Prog window;
    window.Form_Load();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    action(window, "modelo_competencia_exclusion")->trigger();
    const QImage designed = images(window);
    int turns = 0;
    QTimer counter;
    QObject::connect(&counter, &QTimer::timeout, [&turns] { ++turns; });
    counter.start(0);
    QVERIFY(!window.XYgraf->findChild<QLabel *>(QStringLiteral("progresoCuencas")));
    action(window, "cuencas")->setChecked(true);
    const auto *progress = window.XYgraf->findChild<QLabel *>(QStringLiteral("progresoCuencas"));
    QVERIFY(progress && progress->isVisibleTo(&window));
    QVERIFY(progress->text().startsWith(QStringLiteral("Calculando cuencas… ")));
    const BasinMap &map = window.findChild<PlotViews *>()->basinMap();
    QTRY_VERIFY(map.complete());
    QVERIFY(turns > 0);
    QVERIFY(!progress->isVisibleTo(&window));
    // (7, 2.5) lies on the side of (8, 0), the first node; (1, 8) on the side of (0, 7).
    QCOMPARE(window.XYgraf->image().pixelColor(cell(phaseX(7), phaseY(2.5))), palette::basinTint(0));
    QCOMPARE(window.XYgraf->image().pixelColor(cell(phaseX(1), phaseY(8))), palette::basinTint(1));
    action(window, "cuencas")->setChecked(false);
    QVERIFY(!map.active());
    QCOMPARE(images(window), designed);

    // A map asked for while another is computing replaces it: mutualism's one node tints both
    // places, and nothing of the map of exclusion comes back.
    action(window, "cuencas")->setChecked(true);
    action(window, "modelo_mutualismo")->trigger();
    QTRY_VERIFY(map.complete());
    QTest::qWait(50);
    QCOMPARE(map.attractors().size(), std::size_t(1));
    QCOMPARE(window.XYgraf->image().pixelColor(cell(phaseX(7), phaseY(2.5))), palette::basinTint(0));
    QCOMPARE(window.XYgraf->image().pixelColor(cell(phaseX(1), phaseY(8))), palette::basinTint(0));

    // A window closed while its map is computing leaves no thread at work: its pool ends with it.
    {
        Prog closing;
        closing.Form_Load();
        action(closing, "cuencas")->setChecked(true);
        QVERIFY(closing.findChild<BasinMap *>()->active());
    }
    // Nor on Qt's global pool, whose threads count themselves idle just after their work returns.
    QTRY_COMPARE_WITH_TIMEOUT(QThreadPool::globalInstance()->activeThreadCount(), 0, 100);
}

void AnalysisTest::basinsLeaveQtsPoolFree_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("designed size") << QSize();
    QTest::newRow("1600 x 1000") << QSize(1600, 1000);
}

// Guards the window's events while the basins compute: QPainter shares out its work on large
// images among the threads of Qt's global pool, and waits for them, so the basins' rows must
// leave that pool free. A stiff node keeps them computing for long.
void AnalysisTest::basinsLeaveQtsPoolFree()
{
    QFETCH(QSize, size);
    auto window = std::make_unique<Prog>();
    window->Form_Load();
    if (size.isValid())
        window->resize(size);
    window->state().setCoefficients({1e6, -1e6, 0, 1e-6, 0, -1e-6});
    window->Calcular_Click();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_COMPARE_WITH_TIMEOUT(QThreadPool::globalInstance()->activeThreadCount(), 0, 100);
    action(*window, "cuencas")->setChecked(true);
    const BasinMap &map = window->findChild<PlotViews *>()->basinMap();
    QVERIFY(map.active());
    // Whatever QPainter started for the drawing ends at once; the rows would last seconds.
    QTRY_COMPARE_WITH_TIMEOUT(QThreadPool::globalInstance()->activeThreadCount(), 0, 100);
    QVERIFY(!map.complete());
    // Drawn again while they compute, then closed in the middle of the computation.
    window->HScroll1->setValue(50);
    window->repaint();
    QTRY_COMPARE_WITH_TIMEOUT(QThreadPool::globalInstance()->activeThreadCount(), 0, 100);
    QVERIFY(!map.complete());
    window->close();
    window.reset();
    QCOMPARE(QThreadPool::globalInstance()->activeThreadCount(), 0);
}

void AnalysisTest::exampleModels_data()
{
    QTest::addColumn<int>("example");
    for (int i = 0; i < int(exampleSystems().size()); ++i)
        QTest::newRow(exampleSystems()[std::size_t(i)].id) << i;
}

void AnalysisTest::exampleModels()
{
    QFETCH(int, example);
    const ExampleSystem &e = exampleSystems()[std::size_t(example)];
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    Prog window;
    window.Form_Load();
    window.HScroll1->setValue(30);
    QAction *a = action(window, qPrintable(QStringLiteral("modelo_") + QLatin1String(e.id)));
    QVERIFY(a);
    QCOMPARE(a->text(), QString::fromUtf8(e.title));
    const QString description = withPointsInLocale(QString::fromUtf8(e.description));
    QVERIFY(!description.contains(QRegularExpression(QStringLiteral(R"(\(\d+, \d+\))"))));
    // The tooltip and the help name the form the example fits.
    const QString form = QString::fromUtf8(exampleFormName(e));
    QVERIFY(!form.isEmpty());
    QCOMPARE(a->toolTip(), description + QStringLiteral(" Forma ecológica: «%1».").arg(form));
    QVERIFY(helpHtml().contains(QStringLiteral("(%1): %2").arg(form.toHtmlEscaped(), description.toHtmlEscaped())));
    a->trigger();
    QVERIFY(window.state().system().coefficients == e.coefficients);
    QCOMPARE(window.model.dt, e.span / 100);
    QCOMPARE(window.model.xs(0), e.x0);
    QCOMPARE(window.model.ys(0), e.y0);
    QCOMPARE(window.HScroll1->value(), 0);
    QCOMPARE(window.Text2->text(), QLocale().toString(e.span));
    QCOMPARE(window.par[3]->toolTip(), QLocale().toString(e.coefficients.D));
}

// End to end: the logistic prey's diagram of D, a click at the meeting of (3, 0) with the
// interior equilibrium sets D = -3 exactly, recomputes, and the diagram follows.
void AnalysisTest::diagramClickSetsTheCoefficient()
{
    Prog window;
    window.Form_Load();
    action(window, "modelo_presa_logistica")->trigger();
    action(window, "bifurcacion")->trigger();
    BifurcationWindow *diagram = window.analysis->exploration()->bifurcationWindow();
    diagram->setCoefficient(3);
    QVERIFY(QTest::qWaitForWindowExposed(diagram));
    BifurcationCanvas *canvas = diagram->canvas();
    const BifurcationGeometry g = canvas->diagramGeometry();
    QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(int(std::floor(g.coefficientX(-3))), g.panels[1].center().y()));
    QCOMPARE(window.model.D, -3.0);
    // Picks count as a drag: within a frame of the example's recomputation, this one waits.
    QTRY_COMPARE(window.state().system().coefficients.D, -3.0);
    QCOMPARE(canvas->scene().system.D, -3.0);
    QCOMPARE(window.par[3]->toolTip(), QStringLiteral("-3"));
}

void AnalysisTest::mapClickSetsBothCoefficients_data()
{
    QTest::addColumn<bool>("alongParameters");   // α₁₂ and α₂₁ of the competition with exclusion
    QTest::addColumn<double>("c");
    QTest::addColumn<double>("e");
    QTest::newRow("C and E") << false << -0.5 << -0.5;
    // r₁ = K₁ = 8, r₂ = K₂ = 7: C = −(8 · 2,5)/8 and E = −(7 · 2,5)/7.
    QTest::newRow("α₁₂ and α₂₁") << true << -2.5 << -2.5;
}

// End to end: a click in the map of regimes sets both its coefficients (or both parameters) to
// the tidiest values of the pixel, recomputes once, and one undo takes both back.
void AnalysisTest::mapClickSetsBothCoefficients()
{
    QFETCH(bool, alongParameters);
    QFETCH(double, c);
    QFETCH(double, e);
    Prog window;
    window.Form_Load();
    if (alongParameters)
        action(window, "modelo_competencia_exclusion")->trigger();
    const Coefficients before = window.state().coefficients();
    action(window, "mapaRegimenes")->trigger();
    RegimeWindow *map = window.analysis->exploration()->regimeWindow();
    QVERIFY(map);
    if (alongParameters)
        QVERIFY(map->setParameters(2, 5));
    map->setRanges(alongParameters ? 0 : -3, alongParameters ? 4 : 1, alongParameters ? 0 : -3, alongParameters ? 4 : 1);
    map->map()->setFixedSize(400, 400);
    QVERIFY(QTest::qWaitForWindowExposed(map));
    QTest::mouseClick(map->map(), Qt::LeftButton, {}, QPoint(250, 149));
    QCOMPARE(window.model.C, c);
    QCOMPARE(window.model.E, e);
    if (alongParameters) {
        QCOMPARE(window.state().ecology()->value("alfa12"), 2.5);
        QCOMPARE(window.state().ecology()->value("alfa21"), 2.5);
        QCOMPARE(window.state().ecology()->value("K1"), 8.0);
    }
    QTRY_COMPARE(window.state().system().coefficients.E, e);
    QCOMPARE(window.state().system().coefficients.C, c);
    QCOMPARE(map->map()->scene().system.C, c);
    QCOMPARE(map->map()->scene().valueH(), alongParameters ? 2.5 : c);
    QCOMPARE(map->horizontalParameter(), alongParameters ? 2 : -1);
    action(window, "deshacer")->trigger();
    QVERIFY(bitIdentical(window.state().coefficients(), before));
    if (alongParameters)
        QCOMPARE(window.state().ecology()->value("alfa12"), 2.0);
}

// Ctrl+Shift+A fits the synthetic series off the GUI thread; the table has one row per free
// parameter, and one undo, named for the fit, takes every coefficient and the fit back.
void AnalysisTest::fitToTheData_data()
{
    QTest::addColumn<bool>("logarithmic");
    QTest::addColumn<QStringList>("held");   // letters, or the ids of the form's parameters
    QTest::addColumn<QString>("rows");
    QTest::addColumn<bool>("form");          // predator and prey in force (F = 0 set first)
    QTest::newRow("all free, logarithms") << true << QStringList{} << "A B C D E F x₀ y₀" << false;
    QTest::newRow("B and F held, values") << false << QStringList{"B", "F"} << "A C D E x₀ y₀" << false;
    QTest::newRow("A held, logarithms") << true << QStringList{"A"} << "B C D E F x₀ y₀" << false;
    QTest::newRow("predator–prey form, K held") << true << QStringList{"K"} << "r a b m x₀ y₀" << true;
}

// Regression: with a form in force «Estimar» still held the letters ticked before, whose boxes
// the form hides; it holds what the form keeps at zero instead.
void AnalysisTest::estimateWithAFormIgnoresTheHiddenLetters()
{
    Prog window;
    window.Form_Load();
    showSyntheticSeriesOffTheTruth(window);
    window.analysis->showAnalysisWindow();
    AnalysisWindow *analysis = window.analysis->analysisWindow();
    analysis->findChild<QCheckBox *>(QStringLiteral("fijar_A"))->setChecked(true);
    window.analysis->exploration()->setCoefficient(5, 0.0);
    QVERIFY(window.state().ecology().has_value());
    const double a = window.state().coefficient(0);
    analysis->findChild<QPushButton *>(QStringLiteral("estimarInicio"))->click();
    QVERIFY(window.state().coefficient(0) != a);
    QCOMPARE(window.state().coefficient(5), 0.0);
}

void AnalysisTest::fitToTheData()
{
    QFETCH(bool, logarithmic);
    QFETCH(QStringList, held);
    QFETCH(QString, rows);
    QFETCH(bool, form);
    Prog window;
    window.Form_Load();
    QVERIFY(!action(window, "ajustarDatos")->isEnabled());
    showSyntheticSeriesOffTheTruth(window);
    if (form)
        window.analysis->exploration()->setCoefficient(5, 0.0);
    QVERIFY(action(window, "ajustarDatos")->isEnabled());
    window.analysis->showAnalysisWindow();
    AnalysisWindow *analysis = window.analysis->analysisWindow();
    auto *section = analysis->findChild<FitSection *>();
    QVERIFY(section && section->isVisible());
    QCOMPARE(window.state().ecology().has_value(), form);
    QCOMPARE(analysis->findChild<QCheckBox *>(QStringLiteral("fijar_A"))->isVisible(), !form);
    analysis->findChild<QCheckBox *>(QStringLiteral("escalaLogaritmica"))->setChecked(logarithmic);
    for (const QString &name : held)
        analysis->findChild<QCheckBox *>(QStringLiteral("fijar_") + name)->setChecked(true);
    QTest::qWait(0);   // the coefficients' changes settle as a step of their own
    const Coefficients before = window.state().coefficients();
    const std::optional<EcologicalParameters> ecologyBefore = window.state().ecology();
    const double x0 = window.model.xs(0), y0 = window.model.ys(0);

    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(window.Calcular, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(window.analysis->fitting()->running());
    QCOMPARE(section->progressLabel()->text(), QStringLiteral("Ajustando…"));
    QTRY_VERIFY_WITH_TIMEOUT(window.state().fit().has_value(), 30000);

    const FitResult fit = *window.state().fit();
    QVERIFY(fit.status == FitStatus::Converged || fit.status == FitStatus::NotConverged);
    QVERIFY(window.state().system().coefficients == fit.fitted.coefficients);
    QCOMPARE(window.model.xs(0), fit.fitted.x0);   // the initial point to the last bit
    QCOMPARE(window.model.ys(0), fit.fitted.y0);
    const double kept[6] = {before.A, before.B, before.C, before.D, before.E, before.F};
    for (const QString &name : held)
        if (form)   // the parameter held, and the section's parameters those fitted
            QCOMPARE(window.state().ecology().value().value(name.toStdString()), ecologyBefore->value(name.toStdString()));
        else
            QCOMPARE(window.state().coefficient(name[0].unicode() - u'A'), kept[name[0].unicode() - u'A']);
    QCOMPARE(window.state().ecology(), form ? fit.fittedForm : std::nullopt);
    QVERIFY(window.state().ecologyTyped() == form);
    QTableWidget *table = section->resultTable();
    QStringList names;
    for (int row = 0; row < table->rowCount(); ++row)
        names << table->item(row, 0)->text();
    QCOMPARE(names.join(u' '), rows);
    QCOMPARE(table->horizontalHeaderItem(2)->text(), QStringLiteral("Error estándar"));
    QVERIFY(section->summary()->text().contains(QStringLiteral("R² de x: ")));
    QVERIFY(!section->residualPlot()->image().isNull());

    QTest::qWait(0);
    QCOMPARE(action(window, "deshacer")->text(), QStringLiteral("Deshacer: ajustar a los datos"));
    action(window, "deshacer")->trigger();
    QVERIFY(bitIdentical(window.state().coefficients(), before));
    QCOMPARE(window.model.xs(0), x0);
    QCOMPARE(window.model.ys(0), y0);
    QVERIFY(!window.state().fit());
    QCOMPARE(table->rowCount(), 0);
}

// A fit cancelled by Escape in the analysis window, by new observations or by a new fit leaves
// nothing of itself: the coefficients stay as they were (the new fit's aside), and no crash.
void AnalysisTest::fitCancelledLeavesTheCoefficients_data()
{
    QTest::addColumn<QString>("by");
    QTest::newRow("Escape") << "escape";
    QTest::newRow("new observations") << "data";
    QTest::newRow("window closed") << "close";
    QTest::newRow("new fit") << "fit";
}

void AnalysisTest::fitCancelledLeavesTheCoefficients()
{
    QFETCH(QString, by);
    Prog window;
    window.Form_Load();
    showSyntheticSeriesOffTheTruth(window);
    QTest::qWait(0);
    const Coefficients before = window.state().coefficients();
    action(window, "ajustarDatos")->trigger();
    AnalysisWindow *analysis = window.analysis->analysisWindow();
    QVERIFY(window.analysis->fitting()->running());
    if (by == u"escape") {
        QApplication::setActiveWindow(analysis);
        QVERIFY(QTest::qWaitForWindowActive(analysis));
        QTest::keyClick(analysis->focusWidget() ? analysis->focusWidget() : analysis, Qt::Key_Escape);
        QVERIFY(analysis->isVisible());   // Escape cancelled the fit, not the window
    } else if (by == u"data") {
        QVERIFY(window.state().setObservations(synthetic::exactSeries()));
    } else if (by == u"close") {
        analysis->close();
    } else {
        analysis->findChild<QPushButton *>(QStringLiteral("ajustar"))->click();
        QVERIFY(window.analysis->fitting()->running());
        QTRY_VERIFY_WITH_TIMEOUT(!window.analysis->fitting()->running(), 30000);
        QVERIFY2(window.state().fit(), qPrintable(analysis->findChild<QLabel *>(QStringLiteral("resumenAjuste"))->text()));
        QTest::qWait(0);
        action(window, "deshacer")->trigger();   // the first fit left nothing to undo
        QVERIFY(bitIdentical(window.state().coefficients(), before));
        return;
    }
    QVERIFY(!window.analysis->fitting()->running());
    QVERIFY(QThreadPool::globalInstance()->waitForDone(30000));
    QTest::qWait(20);
    QVERIFY(bitIdentical(window.state().coefficients(), before));
    QVERIFY(!window.state().fit());
    if (by != u"data")
        QVERIFY(analysis->findChild<QLabel *>(QStringLiteral("progresoAjuste"))->text().startsWith(QStringLiteral("Ajuste cancelado")));
}

QTEST_MAIN(AnalysisTest)
#include "analysis_test.moc"
