// Where samples land in the three plots, and what a redraw leaves on screen.
#include "display/export/plot_picture.h"
#include "display/plots/line_shape.h"
#include "display/plots/plot_mapping.h"
#include "display/plots/plot_surface.h"
#include "display/plots/trajectory_plot.h"
#include "display/toolkit/palette.h"
#include "display/views/plot_views.h"
#include "interaction/prog.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QLocale>
#include <QPainter>
#include <QWheelEvent>
#include <QScrollBar>
#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(PlaneView)

namespace {

using namespace plot_mapping;

// Whether the logical pixel (x, y) of a plot's kept drawing holds a point.
bool painted(const PlotSurface *plot, int x, int y)
{
    const QImage &image = plot->image();
    const qreal ratio = image.devicePixelRatio();
    const QPoint device(int(x * ratio), int(y * ratio));
    if (!image.rect().contains(device))
        return false;
    return qGray(image.pixel(device)) < 128;
}

int paintedPixels(const PlotSurface *plot)
{
    const QImage &image = plot->image();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) < 128;
    return count;
}

// The logical pixel of a position in twips.
QPoint cell(double xTwips, double yTwips)
{
    return QPoint(int(std::floor(xTwips / 15)), int(std::floor(yTwips / 15)));
}

// A dot drawn with pen width 3 covers the 3 by 3 pixels around its cell; width 1 only the cell.
bool thickAt(const PlotSurface *plot, QPoint c)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (!painted(plot, c.x() + dx, c.y() + dy))
                return false;
    return true;
}

bool thinAt(const PlotSurface *plot, QPoint c)
{
    return painted(plot, c.x(), c.y()) && !painted(plot, c.x() + 1, c.y())
        && !painted(plot, c.x() - 1, c.y()) && !painted(plot, c.x(), c.y() + 1)
        && !painted(plot, c.x(), c.y() - 1);
}

// A trajectory made by hand: only the given samples valid, each at its (x, y).
void storeSamples(Model &model, const QList<std::tuple<int, double, double>> &samples)
{
    for (int k = kFirstSample; k <= kLastSample; ++k) {
        model.ok(k) = false;
        model.xs(k) = model.ys(k) = -1;
    }
    for (const auto &[k, x, y] : samples) {
        model.ok(k) = true;
        model.xs(k) = x;
        model.ys(k) = y;
    }
}

// What a drawing asks of its canvas: the dots with their width and ink, and the marks.
using Samples = QList<std::tuple<int, double, double>>;

class RecordingCanvas : public PlotCanvas {
public:
    void Cls() override {}
    void PSet(float, float) override {}
    void setDrawWidth(int) override {}
    void setInk(const QColor &) override {}
    QColor baseColour() const override { return Qt::white; }
    void line(float, float, float, float) override {}
    void mark(Mark, float, float) override { ++marks; }

    int marks = 0;
};

} // namespace

class PlotsTest : public QObject {
    Q_OBJECT

private slots:
    void mappings_data();
    void mappings();
    void viewedMappings_data();
    void viewedMappings();
    void zoomingBackIsExact();
    void wheelKeepsThePointUnderThePointer();
    void startUpDotsStandWhereTheMappingsSay();
    void cursorSampleIsTheOnlyThickDot_data();
    void cursorSampleIsTheOnlyThickDot();
    void invalidSamplesLeaveNothing();
    void redrawLeavesNoTrace();
    void linesSurviveCls();
    void zeroLiesOnTheLines();
    void unplottablePositionsAreSkipped_data();
    void unplottablePositionsAreSkipped();
    void oneRedrawPaintsEachPlotOnce();
    void cursorMarksStandOut_data();
    void cursorMarksStandOut();
    void closeTurningPointsMarkedOnce_data();
    void closeTurningPointsMarkedOnce();
    void magnifiedIsTheDesignAtRatioTwo_data();
    void magnifiedIsTheDesignAtRatioTwo();
    void magnifiedPressesAndCrosshair();
    void presentationLeavesTheOptionsBe();
};

void PlotsTest::mappings_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("k");
    QTest::addColumn<double>("phaseX");
    QTest::addColumn<double>("phaseY");
    QTest::addColumn<int>("timeX");
    QTest::addColumn<double>("valueY");
    QTest::newRow("start-up point") << 5.0 << 0 << 2150.0 << 2100.0 << 2060 << 850.0;
    QTest::newRow("zero, first sample") << 0.0 << -100 << 150.0 << 4100.0 << 60 << 1700.0;
    QTest::newRow("ten, last sample") << 10.0 << 100 << 4150.0 << 100.0 << 4060 << 0.0;
    QTest::newRow("negative") << -1.0 << 1 << -250.0 << 4500.0 << 2080 << 1870.0;
}

void PlotsTest::mappings()
{
    QFETCH(double, value);
    QFETCH(int, k);
    QFETCH(double, phaseX);
    QFETCH(double, phaseY);
    QFETCH(int, timeX);
    QFETCH(double, valueY);
    QCOMPARE(plot_mapping::phaseX(value), phaseX);
    QCOMPARE(plot_mapping::phaseY(value), phaseY);
    QCOMPARE(plot_mapping::timeX(k), timeX);
    QCOMPARE(plot_mapping::valueY(value), valueY);
}

void PlotsTest::viewedMappings_data()
{
    QTest::addColumn<PlaneView>("view");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("phaseX");
    QTest::addColumn<double>("phaseY");
    QTest::addColumn<double>("xValueY");
    const PlaneView designed;
    QTest::newRow("designed") << designed << 5.0 << 2150.0 << 2100.0 << 850.0;
    // (5, 5) stays where it was; half a unit away is twice as far.
    QTest::newRow("twice as close about (5, 5)") << plane_view::zoomedAbout(designed, 5, 5, 2) << 5.0 << 2150.0
                                                 << 2100.0 << 850.0;
    QTest::newRow("twice as close, half a unit on") << plane_view::zoomedAbout(designed, 5, 5, 2) << 5.5 << 2550.0
                                                    << 1700.0 << 680.0;
    QTest::newRow("moved a unit right") << PlaneView{0.625, -0.5, 10.75} << 5.0 << 1750.0 << 2100.0 << 1020.0;
}

// Guards the one mapping of a view: the designed view to the last bit, others as they zoom and move.
void PlotsTest::viewedMappings()
{
    QFETCH(PlaneView, view);
    QFETCH(double, value);
    QFETCH(double, phaseX);
    QFETCH(double, phaseY);
    QFETCH(double, xValueY);
    const PlotMapping m = mappingFor(view);
    QCOMPARE(m.phaseX(value), phaseX);
    QCOMPARE(m.phaseY(value), phaseY);
    QCOMPARE(m.xValueY(value), xValueY);
    QCOMPARE(m.phaseUnitsX(phaseX), value);
    QCOMPARE(m.phaseUnitsY(phaseY), value);
}

// Guards "Vista inicial": after zooming and moving, every pixel of the three plots is as before.
void PlotsTest::zoomingBackIsExact()
{
    Prog window;
    window.Form_Load();
    for (const char *name : {"isoclinas", "equilibrios", "campo", "escalas", "conservar"})
        window.findChild<QAction *>(QString::fromLatin1(name))->trigger();
    window.XYgraf_MouseDown(1, 0, 950, 2100);
    window.HScroll1->setValue(30);
    const QImage before[] = {window.XYgraf->image(), window.Xgraf->image(), window.Ygraf->image()};
    for (const char *name : {"acercar", "acercar", "desplazarIzquierda", "alejar", "ajustarVista", "desplazarArriba"})
        window.findChild<QAction *>(QString::fromLatin1(name))->trigger();
    QVERIFY(!(window.state().view() == PlaneView{}));
    QVERIFY(window.XYgraf->image() != before[0]);
    QVERIFY(window.Xgraf->image() != before[1]);
    window.findChild<QAction *>(QStringLiteral("vistaInicial"))->trigger();
    QCOMPARE(window.XYgraf->image(), before[0]);
    QCOMPARE(window.Xgraf->image(), before[1]);
    QCOMPARE(window.Ygraf->image(), before[2]);
}

// Guards the wheel's zoom about the pointer: a press there after it gives the same point, to
// within a pixel of the new view, and the time plots' value axis follows.
void PlotsTest::wheelKeepsThePointUnderThePointer()
{
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint at = window.XYgraf->contentsRect().topLeft() + QPoint(100, 150);
    // The point under the pointer: the corner of the pixel it stands on.
    const double x = PlotMapping{}.phaseUnitsX(100 * 15), y = PlotMapping{}.phaseUnitsY(150 * 15);
    QWheelEvent wheel(at, window.XYgraf->mapToGlobal(at), QPoint(), QPoint(0, 3 * 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window.XYgraf, &wheel);
    QCOMPARE(window.state().view().side, PlaneView{}.side / std::pow(1.25, 3));
    QTest::mouseClick(window.XYgraf, Qt::LeftButton, {}, at);
    const PlotMapping m = mappingFor(window.state().view());
    const double pixel = 15 / m.phaseStep;
    QVERIFY2(std::fabs(QLocale().toDouble(window.XI->text()) - x) <= pixel, qPrintable(window.XI->text()));
    QVERIFY2(std::fabs(QLocale().toDouble(window.YI->text()) - y) <= pixel, qPrintable(window.YI->text()));
    // The x(t) plot's line of the value 0 and its thick dot moved with the view.
    QCOMPARE(window.Xgraf->findChild<LineShape *>(QStringLiteral("Line3"))->from().y(), int(std::lround(m.xValueY(0))));
    QVERIFY(thickAt(window.Xgraf, cell(timeX(0), m.xValueY(window.model.xs(0)))));
    QVERIFY(thickAt(window.XYgraf, cell(m.phaseX(window.model.xs(0)), m.phaseY(window.model.ys(0)))));
}

// At start-up sample 0, (5, 5), is the thick dot: (2150, 2100) in the phase plane and
// (2060, 850) in both time plots.
void PlotsTest::startUpDotsStandWhereTheMappingsSay()
{
    Prog window;
    window.Form_Load();
    QVERIFY(thickAt(window.XYgraf, cell(2150, 2100)));
    QVERIFY(thickAt(window.Xgraf, cell(2060, 850)));
    QVERIFY(thickAt(window.Ygraf, cell(2060, 850)));
    // Sample 1 is a thin dot where its stored values say.
    const Model &m = window.model;
    QVERIFY(painted(window.XYgraf, cell(phaseX(m.xs(1)), phaseY(m.ys(1))).x(),
                    cell(phaseX(m.xs(1)), phaseY(m.ys(1))).y()));
    QVERIFY(thinAt(window.Xgraf, cell(timeX(100), valueY(m.xs(100)))));
    QVERIFY(thinAt(window.Ygraf, cell(timeX(-100), valueY(m.ys(-100)))));
}

void PlotsTest::cursorSampleIsTheOnlyThickDot_data()
{
    QTest::addColumn<int>("cursor");
    QTest::newRow("left end") << -100;
    QTest::newRow("middle") << 37;
    QTest::newRow("right end") << 100;
}

void PlotsTest::cursorSampleIsTheOnlyThickDot()
{
    QFETCH(int, cursor);
    Prog window;
    window.Form_Load();
    // Samples spread out along the time plots so that their dots do not touch.
    QList<std::tuple<int, double, double>> samples;
    for (int k = -100; k <= 100; k += 10)
        samples << std::make_tuple(k, 0.5 + (k + 100) / 25.0, 1.0);
    samples << std::make_tuple(cursor, 3.0, 3.0);
    storeSamples(window.model, samples);
    window.HScroll1->setValue(cursor);
    window.pintura();

    const QPoint timeDot = cell(timeX(cursor), valueY(3.0));
    QVERIFY(thickAt(window.Xgraf, timeDot));
    QVERIFY(thickAt(window.Ygraf, timeDot));
    QVERIFY(thickAt(window.XYgraf, cell(phaseX(3.0), phaseY(3.0))));
    for (int k = -100; k <= 100; k += 10) {
        if (k == cursor)
            continue;
        const QPoint dot = cell(timeX(k), valueY(0.5 + (k + 100) / 25.0));
        QVERIFY2(thinAt(window.Xgraf, dot), qPrintable(QString::number(k)));
    }
    QCOMPARE(window.XYgraf->drawWidth(), 1);
    QCOMPARE(window.Ygraf->drawWidth(), 1);
}

// Samples whose flag is false are skipped; a cursor on one highlights nothing.
void PlotsTest::invalidSamplesLeaveNothing()
{
    Prog window;
    window.Form_Load();
    storeSamples(window.model, {{0, 2.0, 2.0}, {50, 4.0, 6.0}});
    window.model.xs(-50) = 7;   // stored but not valid
    window.model.ys(-50) = 7;
    window.HScroll1->setValue(-50);
    window.pintura();
    QVERIFY(thinAt(window.XYgraf, cell(phaseX(2), phaseY(2))));
    QVERIFY(thinAt(window.XYgraf, cell(phaseX(4), phaseY(6))));
    QCOMPARE(paintedPixels(window.XYgraf), 2);
    QCOMPARE(paintedPixels(window.Xgraf), 2);
    QCOMPARE(paintedPixels(window.Ygraf), 2);
}

// Moving the cursor redraws everything: the old thick dot becomes thin.
void PlotsTest::redrawLeavesNoTrace()
{
    Prog window;
    window.Form_Load();
    storeSamples(window.model, {{0, 2.0, 2.0}, {1, 8.0, 8.0}});
    window.pintura();
    QVERIFY(thickAt(window.XYgraf, cell(phaseX(2), phaseY(2))));
    window.HScroll1->setValue(1);
    QVERIFY(thinAt(window.XYgraf, cell(phaseX(2), phaseY(2))));
    QVERIFY(thickAt(window.XYgraf, cell(phaseX(8), phaseY(8))));
    QCOMPARE(paintedPixels(window.XYgraf), 1 + 9);
}

// Cls erases the points; the axis lines, which are no part of the drawing, stay on screen.
void PlotsTest::linesSurviveCls()
{
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (PlotSurface *plot : {window.XYgraf, window.Xgraf, window.Ygraf})
        plot->Cls();
    QCOMPARE(paintedPixels(window.XYgraf), 0);
    const QImage phase = window.XYgraf->grab().toImage();
    const QPoint border(2, 2);
    const QPoint xAxis = cell(1000, 4100) + border;
    const QPoint yAxis = cell(150, 1000) + border;
    QVERIFY(qGray(phase.pixel(xAxis)) < 128);
    QVERIFY(qGray(phase.pixel(yAxis)) < 128);
    const QImage time = window.Xgraf->grab().toImage();
    QVERIFY(qGray(time.pixel(cell(500, 1700) + border)) < 128);
    QVERIFY(qGray(time.pixel(cell(2060, 500) + border)) < 128);
    // Off the lines the plot is blank.
    QVERIFY(qGray(time.pixel(cell(500, 500) + border)) > 128);
}

// A value 0 lies on the lines: the dot is drawn in the same pixels as the line.
void PlotsTest::zeroLiesOnTheLines()
{
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    storeSamples(window.model, {{0, 0.0, 3.0}, {20, 6.0, 0.0}});
    window.HScroll1->setValue(50);
    window.pintura();
    const QPoint border(2, 2);
    const QImage phase = window.XYgraf->grab().toImage();
    // Off the dots, the pixel right beside the line is blank: the line runs through the dot.
    for (const QPoint &dot : {cell(phaseX(0), phaseY(3)), cell(phaseX(6), phaseY(0))}) {
        QVERIFY(painted(window.XYgraf, dot.x(), dot.y()));
        QVERIFY(qGray(phase.pixel(dot + border)) < 128);
    }
    QCOMPARE(cell(phaseX(0), 0).x(), cell(150, 0).x());
    QCOMPARE(cell(0, phaseY(0)).y(), cell(0, 4100).y());
    QCOMPARE(cell(timeX(0), valueY(0)), cell(2060, 1700));
}

// A position that has no single-precision form, or lies far outside, is not drawn and fails
// nothing, so an initial point such as 1e300 draws no dot for sample 0.
void PlotsTest::unplottablePositionsAreSkipped_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::newRow("beyond single precision") << 1e300 << 5.0;
    QTest::newRow("phase position overflows a double") << -1.7e308 << 1.7e308;
    QTest::newRow("far outside") << 1e20 << -1e20;
}

void PlotsTest::unplottablePositionsAreSkipped()
{
    QFETCH(double, x);
    QFETCH(double, y);
    Prog window;
    window.Form_Load();
    storeSamples(window.model, {{0, x, y}});
    window.pintura();
    QCOMPARE(paintedPixels(window.XYgraf), 0);
    QCOMPARE(paintedPixels(window.Xgraf), 0);
}

namespace {

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

// A redraw reaches the screen as one frame per plot, not one per point.
void PlotsTest::oneRedrawPaintsEachPlotOnce()
{
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    PaintCounter counters[3];
    PlotSurface *plots[] = {window.XYgraf, window.Xgraf, window.Ygraf};
    for (int i = 0; i < 3; ++i)
        plots[i]->installEventFilter(&counters[i]);
    window.HScroll1->setValue(12);
    QTRY_COMPARE(counters[0].paints, 1);
    QCoreApplication::processEvents();
    for (const PaintCounter &counter : counters)
        QCOMPARE(counter.paints, 1);
}

void PlotsTest::cursorMarksStandOut_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("kept trajectory") << QStringList{"conservar"};
    QTest::newRow("kept and joined") << QStringList{"conservar", "unirPuntos"};
}

// Regression: the cursor's sample was a black dot on a black joining line, and its dot on a
// kept trajectory 2 pixels wide. Now the current one is ringed with the base colour over
// joined samples, and a kept one is at least 3 by 3 pixels in the kept cursor's colour.
void PlotsTest::cursorMarksStandOut()
{
    QFETCH(QStringList, options);
    Prog window;
    window.Form_Load();
    for (const QString &option : options)
        window.findChild<QAction *>(option)->setChecked(true);
    window.XI->setText(QStringLiteral("3"));
    window.calcula();
    window.XI->setText(QStringLiteral("8"));
    window.calcula();
    const Model &m = window.model;
    QVERIFY(!window.state().keptTrajectories().empty());
    const Trajectory &kept = window.state().keptTrajectories().front();   // from (3, 5), the newest
    // A sample where the two trajectories stand well apart in every plot.
    const auto apart = [&](int k) {
        const double twips = 12 * 15;
        return std::fabs(phaseX(m.xs(k)) - phaseX(kept.xs(k))) + std::fabs(phaseY(m.ys(k)) - phaseY(kept.ys(k))) > twips
            && std::fabs(valueY(m.xs(k)) - valueY(kept.xs(k))) > twips && std::fabs(valueY(m.ys(k)) - valueY(kept.ys(k))) > twips;
    };
    int c = 20;
    while (c < kLastSample && !(apart(c) && m.ok(c) && kept.ok(c)))
        ++c;
    QVERIFY(c < kLastSample);
    window.HScroll1->setValue(c);
    window.pintura();

    const QPoint current[] = {cell(phaseX(m.xs(c)), phaseY(m.ys(c))), cell(timeX(c), valueY(m.xs(c))),
                              cell(timeX(c), valueY(m.ys(c)))};
    const PlotSurface *plots[] = {window.XYgraf, window.Xgraf, window.Ygraf};
    const bool joined = options.contains(QStringLiteral("unirPuntos"));
    for (int i = 0; i < 3; ++i) {
        QVERIFY(thickAt(plots[i], current[i]));
        if (!joined)
            continue;
        // Every pixel 3 to 4 pixels from the sample's is of the base colour: no line reaches it.
        const QRgb base = plots[i]->palette().color(QPalette::Base).rgb();
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -4; dx <= 4; ++dx)
                if (const int d2 = dx * dx + dy * dy; d2 >= 9 && d2 <= 16)
                    QCOMPARE(plots[i]->image().pixel(current[i] + QPoint(dx, dy)), base);
    }
    const QPoint dots[] = {cell(phaseX(kept.xs(c)), phaseY(kept.ys(c))), cell(timeX(c), valueY(kept.xs(c))),
                           cell(timeX(c), valueY(kept.ys(c)))};
    for (int i = 0; i < 3; ++i)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                QCOMPARE(plots[i]->image().pixel(dots[i] + QPoint(dx, dy)), palette::keptCursor().rgb());
}

void PlotsTest::closeTurningPointsMarkedOnce_data()
{
    QTest::addColumn<Samples>("samples");
    QTest::addColumn<QList<TurningPoint>>("points");
    QTest::addColumn<QList<int>>("marks");   // in the phase plane, x(t) and y(t)
    using V = TurningPoint::Variable;
    using K = TurningPoint::Kind;
    QTest::newRow("two maxima of x a sample apart") << Samples{{0, 5, 5}, {1, 5.01, 5}}
        << QList<TurningPoint>{{V::X, K::Maximum, 0}, {V::X, K::Maximum, 1}} << QList<int>{1, 1, 0};
    QTest::newRow("a maximum and a minimum at one place") << Samples{{0, 5, 5}, {1, 5.01, 5}}
        << QList<TurningPoint>{{V::X, K::Maximum, 0}, {V::X, K::Minimum, 1}} << QList<int>{2, 2, 0};
    QTest::newRow("maxima of x and y at one sample") << Samples{{0, 5, 5}}
        << QList<TurningPoint>{{V::X, K::Maximum, 0}, {V::Y, K::Maximum, 0}} << QList<int>{1, 1, 1};
    QTest::newRow("4 pixels apart") << Samples{{0, 5, 5}, {3, 5.15, 5}}
        << QList<TurningPoint>{{V::Y, K::Minimum, 0}, {V::Y, K::Minimum, 3}} << QList<int>{1, 0, 1};
    QTest::newRow("5 pixels apart") << Samples{{0, 5, 5}, {4, 5, 5.2}}
        << QList<TurningPoint>{{V::X, K::Minimum, 0}, {V::X, K::Minimum, 4}} << QList<int>{2, 2, 0};
}

// Turning-point triangles of one kind within 4 pixels of each other in a plot are drawn once.
void PlotsTest::closeTurningPointsMarkedOnce()
{
    QFETCH(Samples, samples);
    QFETCH(QList<TurningPoint>, points);
    QFETCH(QList<int>, marks);
    Model model;
    storeSamples(model, samples);
    const std::vector<TurningPoint> list(points.cbegin(), points.cend());
    PlotScene scene;
    scene.current = &model;
    scene.turningPoints = &list;
    RecordingCanvas phasePlane, xPlot, yPlot;
    drawPlots(scene, phasePlane, xPlot, yPlot);
    QCOMPARE(QList<int>({phasePlane.marks, xPlot.marks, yPlot.marks}), marks);
}

void PlotsTest::magnifiedIsTheDesignAtRatioTwo_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::newRow("trajectory") << QStringList{};
    QTest::newRow("every overlay")
        << QStringList{"isoclinas", "equilibrios", "campo", "escalas", "separatrices", "integralPrimera", "extremos"};
    QTest::newRow("joined, kept") << QStringList{"unirPuntos", "conservar", "escalas"};
}

// Guards that the window magnified twice shows in its plots the designed picture as a screen
// of pixel ratio 2 shows it: every dot, line, mark and text twice as large, and nothing blurred.
void PlotsTest::magnifiedIsTheDesignAtRatioTwo()
{
    QFETCH(QStringList, actions);
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const QString &name : actions)
        window.findChild<QAction *>(name)->trigger();
    if (actions.contains(QStringLiteral("conservar"))) {
        window.XI->setText(QStringLiteral("3"));
        window.Calcular->click();
    }
    window.resize(1330, 920);
    QTRY_COMPARE(window.size(), QSize(1330, 920));
    QCOMPARE(window.XYgraf->magnification(), 2.0);

    const PlotViews *views = window.findChild<PlotViews *>();
    const PlotScene scene = views->scene();
    plot_picture::Colours colours = plot_picture::coloursOf(window.XYgraf->palette());
    colours.axes = Qt::transparent;   // on the screen the axis lines lie over the plots
    const QImage designed = plot_picture::image(
        scene, [views](PlotKind plot, QPainter &painter, const QSizeF &area) { views->paintUnderlay(plot, painter, area); },
        colours, 2);
    const std::pair<PlotKind, const PlotSurface *> plots[] = {
        {PlotKind::PhasePlane, window.XYgraf}, {PlotKind::XAgainstTime, window.Xgraf}, {PlotKind::YAgainstTime, window.Ygraf}};
    for (const auto &[kind, surface] : plots) {
        const QRect area = plot_picture::drawingArea(kind);
        const QRect device(area.topLeft() * 2, area.size() * 2);
        QImage expected = designed.copy(device).convertToFormat(QImage::Format_RGB32);
        QImage shown = surface->image().copy(QRect(QPoint(0, 0), device.size())).convertToFormat(QImage::Format_RGB32);
        expected.setDevicePixelRatio(1);
        shown.setDevicePixelRatio(1);
        QVERIFY(surface->image().width() >= device.width() && surface->image().height() >= device.height());
        QCOMPARE(shown, expected);
    }
}

// A press and the crosshair on a magnified phase plane mean the points under them: positions
// on the widget are divided by the magnification.
void PlotsTest::magnifiedPressesAndCrosshair()
{
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(1995, 1380);
    QTRY_COMPARE(window.XYgraf->magnification(), 3.0);
    const QPoint at = window.XYgraf->contentsRect().topLeft() + QPoint(300, 450);
    QTest::mouseClick(window.XYgraf, Qt::LeftButton, {}, at);
    // The designed pixel (100, 150): the same point as a press there in the designed window.
    const double x = PlotMapping{}.phaseUnitsX(100 * 15), y = PlotMapping{}.phaseUnitsY(150 * 15);
    QVERIFY2(std::fabs(QLocale().toDouble(window.XI->text()) - x) <= 1.0 / 400 / 3 * 15, qPrintable(window.XI->text()));
    QVERIFY2(std::fabs(QLocale().toDouble(window.YI->text()) - y) <= 1.0 / 400 / 3 * 15, qPrintable(window.YI->text()));
    QCOMPARE(window.XYgraf->markerPixel(), QPoint(100, 150));
    // The thick dot of the new start is three device pixels for each of its designed ones.
    QVERIFY(thickAt(window.XYgraf, QPoint(100, 150)));
}

// F5 fills the screen and joins the trajectory without turning the option on; Escape leaves the
// presentation and the full screen both.
void PlotsTest::presentationLeavesTheOptionsBe()
{
    Prog window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const PlotViews *views = window.findChild<PlotViews *>();
    window.findChild<QAction *>(QStringLiteral("leyenda"))->trigger();
    const QSizeF legend = views->legendPlace()->rect.size();
    QTest::keyClick(&window, Qt::Key_F5);
    QVERIFY(window.findChild<QAction *>(QStringLiteral("modoPresentacion"))->isChecked());
    QVERIFY(window.findChild<QAction *>(QStringLiteral("pantallaCompleta"))->isChecked());
    QTRY_VERIFY(window.isFullScreen());
    QVERIFY(views->scene().joinSamples);
    QVERIFY(!window.state().option(ExplorerState::Option::JoinSamples));
    // The legend's texts are a step larger too.
    QVERIFY(views->legendPlace()->rect.height() > legend.height());
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.findChild<QAction *>(QStringLiteral("modoPresentacion"))->isChecked());
    QVERIFY(!window.findChild<QAction *>(QStringLiteral("pantallaCompleta"))->isChecked());
    QTRY_VERIFY(!window.isFullScreen());
    QVERIFY(!views->scene().joinSamples);
    QCOMPARE(views->legendPlace()->rect.size(), legend);
}

QTEST_MAIN(PlotsTest)
#include "plots_test.moc"
